// One QSO as the host reports it to the add and remove calls: the argument
// positions that take part, as views of the host's texts for the call.
#pragma once

#include <cstdint>
#include <string_view>

#include "log/ole_date_time.h"

namespace stats {

struct QsoReport {
    std::string_view ownCall;
    std::string_view workedCall;
    COleDateTime qsoTime;
    std::uint32_t freqHz = 0;
    std::string_view mode;
    std::string_view rstSent;
    std::string_view rstRcvd;
    std::string_view exchSent;
    std::string_view exchRcvd;
    std::string_view countryPrefix;
    std::string_view auxText;
    std::string_view band;
};

} // namespace stats
