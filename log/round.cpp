#include "log/round.h"

namespace stats {

std::int64_t RoundOf(const CivilTime& t) {
    int window;
    if (t.minute < 20) {
        window = 0;
    } else if (t.minute < 40) {
        window = 1;
    } else if (t.minute <= 58) {
        window = 2;
    } else {
        return kNoRound;
    }
    const std::int64_t day = (static_cast<std::int64_t>(t.year) * 12 + t.month) * 31 + t.day;
    return (day * 24 + t.hour) * 3 + window;
}

std::int64_t RoundOf(const COleDateTime& time) {
    CivilTime t;
    return ToCivilTime(time, t) ? RoundOf(t) : kNoRound;
}

} // namespace stats
