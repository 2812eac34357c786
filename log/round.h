// Rounds: three windows of minutes in every hour, 0-19, 20-39 and 40-58.
// Minute 59 belongs to no round.
#pragma once

#include <cstdint>

#include "log/ole_date_time.h"

namespace stats {

constexpr std::int64_t kNoRound = -1;

// A number naming the round (date, hour and window) a moment falls in, or
// kNoRound at minute 59.
std::int64_t RoundOf(const CivilTime& t);

// The round of a stored date-time; kNoRound when it names no date-time.
std::int64_t RoundOf(const COleDateTime& time);

} // namespace stats
