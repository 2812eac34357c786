// The date-time value the host passes by pointer: an OLE Automation date
// (days since 30 December 1899, the fraction being the time of day) followed
// directly by a status. The layout crosses the host boundary, so it is fixed
// at 12 bytes with 4-byte packing, as the host's class library lays it out.
#pragma once

#include <cstdint>

#pragma pack(push, 4)
class COleDateTime {
  public:
    enum DateTimeStatus : std::int32_t { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(double date, DateTimeStatus status) : m_dt(date), m_status(status) {}

    DateTimeStatus GetStatus() const { return static_cast<DateTimeStatus>(m_status); }

    // Hour and minute of the date rounded to the nearest second; -1 when the
    // value does not name a date-time.
    int GetHour() const;
    int GetMinute() const;

    // Equal when statuses and dates are equal (a NaN date equals nothing).
    bool operator==(const COleDateTime& other) const {
        return m_status == other.m_status && m_dt == other.m_dt;
    }
    bool operator!=(const COleDateTime& other) const { return !(*this == other); }

    double m_dt = 0.0;
    std::int32_t m_status = valid;
};
#pragma pack(pop)

static_assert(sizeof(COleDateTime) == 12, "the host passes a 12-byte date-time");

namespace stats {

// Calendar fields of a date-time rounded to the nearest second.
struct CivilTime {
    int year;
    int month;  // 1..12
    int day;    // 1..31
    int hour;   // 0..23
    int minute; // 0..59
    int second; // 0..59
};

// The calendar fields of a valid date-time in the range the OLE date type
// covers (years 100 to 9999); false for anything else. Before 30 December
// 1899 the whole part counts days back while the fraction still counts the
// time of day forward, so -1.25 is 29 December 1899, 06:00.
bool ToCivilTime(const COleDateTime& value, CivilTime& out);

} // namespace stats
