// The station details dialog as the round trip sees it: ten texts in, the
// edited texts out after OK.
#pragma once

#include <string>

namespace stats {

struct StationDialogFields {
    std::string callsign;
    std::string claimed;
    std::string club;
    std::string category;
    std::string contest;
    std::string email;
    std::string name;
    std::string operators;
    std::string soapbox;
    std::string address;
};

constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;
constexpr int kDialogFailed = -1;

class StationDialog {
  public:
    virtual ~StationDialog() = default;
    // Runs the dialog modally: kDialogOk with the fields as the user left
    // them, kDialogCancel or kDialogFailed with the fields untouched.
    virtual int Run(StationDialogFields& fields) = 0;
};

} // namespace stats
