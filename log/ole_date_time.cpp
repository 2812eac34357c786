#include "log/ole_date_time.h"

#include <cmath>

namespace stats {
namespace {

// OLE dates of 1 January 100 and 31 December 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.0;
constexpr long long kSecondsPerDay = 86400;

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

} // namespace

bool ToCivilTime(const COleDateTime& value, CivilTime& out) {
    const double dt = value.m_dt;
    if (value.GetStatus() != COleDateTime::valid || !std::isfinite(dt) || dt <= kMinDate - 1.0 ||
        dt >= kMaxDate + 1.0) {
        return false;
    }
    long long dayIndex = static_cast<long long>(dt); // toward zero: the calendar day
    const double fraction = std::fabs(dt - static_cast<double>(dayIndex));
    long long seconds = std::llround(fraction * static_cast<double>(kSecondsPerDay));
    if (seconds >= kSecondsPerDay) { // rounds up into the next calendar day
        seconds -= kSecondsPerDay;
        ++dayIndex;
    }
    CivilFromDays(dayIndex - 25569, out.year, out.month, out.day); // 25569: 1970-01-01
    if (out.year > 9999) {
        return false;
    }
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return true;
}

} // namespace stats

int COleDateTime::GetHour() const {
    stats::CivilTime t;
    return stats::ToCivilTime(*this, t) ? t.hour : -1;
}

int COleDateTime::GetMinute() const {
    stats::CivilTime t;
    return stats::ToCivilTime(*this, t) ? t.minute : -1;
}
