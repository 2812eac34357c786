// One contact as the module stores it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "log/ole_date_time.h"

namespace stats {

struct QsoRecord {
    std::string call;     // worked station
    std::string pairCall; // the same callsign, as the pair count reads it
    std::string auxText;  // a further host text; only equality reads it
    std::string band;
    std::string mode; // "CW", "BPSK63", "BPSK62" or "SSB"
    std::string rstRcvd;
    std::string rstSent;
    std::string exchRcvd;
    std::string exchSent;
    std::string region; // empty for a station outside the home country
    std::uint32_t freqKhz = 0;
    COleDateTime time;

    // Every field equal, texts byte for byte.
    bool operator==(const QsoRecord& other) const;
    bool operator!=(const QsoRecord& other) const { return !(*this == other); }
};

// A hash consistent with operator== (records equal in every field hash alike).
std::uint64_t HashQsoRecord(const QsoRecord& record);

} // namespace stats
