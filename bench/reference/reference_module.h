// A plain model of the module, kept only to compare against: the log is a
// vector walked from index 0 for every search, the band list a vector walked
// the same way, the bands are put in order by an exchange sort of padded keys,
// and every band of the summary walks the whole log with lists of the regions
// and pairs it has seen. It answers the calls the host makes with the same
// results, texts and files as StatsModule, only slowly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "log/ole_date_time.h"
#include "log/qso_report.h"
#include "platform/platform.h"

namespace stats::reference {

class ReferenceModule {
  public:
    explicit ReferenceModule(const Platform& platform) : platform_(platform) {}
    ReferenceModule(const ReferenceModule&) = delete;
    ReferenceModule& operator=(const ReferenceModule&) = delete;
    ~ReferenceModule();

    int ResetStats(int reportMode, std::string_view ownCall);
    int AddData(const QsoReport& qso);
    int RemoveData(const QsoReport& qso);
    int CheckCall(std::string_view workedCall, std::string_view mode, char* warningBuffer);
    const char* GetResult(int* result);

    std::size_t size() const { return log_.size(); }

  private:
    struct Record {
        std::string call;
        std::string pairCall;
        std::string auxText;
        std::string band;
        std::string mode;
        std::string rstRcvd;
        std::string rstSent;
        std::string exchRcvd;
        std::string exchSent;
        std::string region;
        std::uint32_t freqKhz = 0;
        COleDateTime time;
    };
    struct Profile {
        std::string callsign;
        std::string name;
        std::string address;
        std::string claimed;
        std::string contest;
        std::string email;
        std::string club;
        std::string soapbox;
        std::string operators;
        std::string category;
        std::string fileBase;
        std::vector<std::string> cabrilloLines;
    };

    static bool Equal(const Record& a, const Record& b);
    void WriteRejection(const QsoReport& qso, const char* reason);
    void OrderBands();
    int EditStationDetails(std::string_view ownCall);
    void WriteCabrilloFile();

    Platform platform_;
    Profile profile_;
    std::vector<Record> log_;
    std::vector<std::string> bands_;
    std::string summaryText_;
    int claimedScore_ = 0;
    bool checkerLaunched_ = false;
    int reportMode_ = 0;
    std::FILE* ubnFile_ = nullptr;
};

} // namespace stats::reference
