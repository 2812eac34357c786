// The repeat-in-round check made while a callsign is being entered.
#pragma once

#include <string>
#include <string_view>

#include "log/ole_date_time.h"
#include "log/qso_log.h"

namespace stats {

constexpr int kNoRepeat = 2;
constexpr int kRepeatInRound = 4;

// The room the warning takes at most, its NUL included; a longer callsign is
// cut so that the text fits.
constexpr std::size_t kWarningCapacity = 256;

// "QSO c <call> В ОДНОМ И ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!" in Windows-1251,
// without its NUL and never longer than kWarningCapacity - 1 bytes.
std::string RepeatWarning(std::string_view workedCall);

// kRepeatInRound when a record of this call and mode falls in the round that
// is running at `nowUtc` (same date, hour and window); the warning then goes
// to `warningBuffer`, NUL-terminated. kNoRepeat leaves the buffer untouched.
int CheckRound(const QsoLog& log, std::string_view workedCall, std::string_view mode,
               const CivilTime& nowUtc, char* warningBuffer);

} // namespace stats
