#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "log/ole_date_time.h"
#include "tests/support/host_calls.h"

namespace stats {
namespace {

using testing::OleTime;

TEST(DateTime, LayoutIsTwelveBytesWithStatusAfterTheDate) {
    static_assert(sizeof(COleDateTime) == 12);
    COleDateTime value(1.5, COleDateTime::null);
    unsigned char bytes[12];
    std::memcpy(bytes, &value, sizeof bytes);
    double date;
    std::int32_t status;
    std::memcpy(&date, bytes, 8);
    std::memcpy(&status, bytes + 8, 4);
    EXPECT_EQ(date, 1.5);
    EXPECT_EQ(status, 2);
}

TEST(DateTime, NewValueIsZeroAndValid) {
    COleDateTime value;
    EXPECT_EQ(value.m_dt, 0.0);
    EXPECT_EQ(value.GetStatus(), COleDateTime::valid);
}

TEST(DateTime, EqualityNeedsDateAndStatus) {
    EXPECT_EQ(COleDateTime(2.25, COleDateTime::valid), COleDateTime(2.25, COleDateTime::valid));
    EXPECT_NE(COleDateTime(2.25, COleDateTime::valid), COleDateTime(2.25, COleDateTime::invalid));
    EXPECT_NE(OleTime(2012, 9, 12, 10, 5, 0), OleTime(2012, 9, 12, 10, 5, 1));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(COleDateTime(nan, COleDateTime::valid), COleDateTime(nan, COleDateTime::valid));
}

struct CivilCase {
    const char* label;
    double date;
    CivilTime want;
};

TEST(DateTime, CalendarFieldsRoundToTheNearestSecond) {
    const double second = 1.0 / 86400;
    const CivilCase cases[] = {
        {"epoch", 0.0, {1899, 12, 30, 0, 0, 0}},
        {"noon of day 2", 2.5, {1900, 1, 1, 12, 0, 0}},
        {"before the epoch the time counts forward", -1.25, {1899, 12, 29, 6, 0, 0}},
        {"minus a half is the epoch's noon", -0.5, {1899, 12, 30, 12, 0, 0}},
        {"year 100", -657434.0, {100, 1, 1, 0, 0, 0}},
        {"9999", 2958465.75, {9999, 12, 31, 18, 0, 0}},
        {"past half a second rounds up", 41164.0 + (10 * 3600 + 59 * 60 + 59.6) * second, {2012, 9, 12, 11, 0, 0}},
        {"just below rounds down", 41164.0 + (10 * 3600 + 59 * 60 + 59.4) * second, {2012, 9, 12, 10, 59, 59}},
        {"rounds into the next day", 41164.0 + 86399.7 * second, {2012, 9, 13, 0, 0, 0}},
        {"negative rounds into the next day", -1.0 - 86399.7 * second, {1899, 12, 30, 0, 0, 0}},
        {"leap day", OleTime(2024, 2, 29, 23, 59, 0).m_dt, {2024, 2, 29, 23, 59, 0}},
    };
    for (const CivilCase& c : cases) {
        CivilTime got{};
        ASSERT_TRUE(ToCivilTime(COleDateTime(c.date, COleDateTime::valid), got)) << c.label;
        EXPECT_EQ(got.year, c.want.year) << c.label;
        EXPECT_EQ(got.month, c.want.month) << c.label;
        EXPECT_EQ(got.day, c.want.day) << c.label;
        EXPECT_EQ(got.hour, c.want.hour) << c.label;
        EXPECT_EQ(got.minute, c.want.minute) << c.label;
        EXPECT_EQ(got.second, c.want.second) << c.label;
    }
}

TEST(DateTime, HourAndMinuteAreMinusOneWithoutADateTime) {
    const double inf = std::numeric_limits<double>::infinity();
    const COleDateTime none[] = {
        COleDateTime(41164.5, COleDateTime::invalid), COleDateTime(41164.5, COleDateTime::null),
        COleDateTime(std::nan(""), COleDateTime::valid), COleDateTime(inf, COleDateTime::valid),
        COleDateTime(-inf, COleDateTime::valid), COleDateTime(1e300, COleDateTime::valid),
        COleDateTime(-657435.0, COleDateTime::valid), COleDateTime(2958466.0, COleDateTime::valid),
    };
    for (const COleDateTime& value : none) {
        EXPECT_EQ(value.GetHour(), -1) << value.m_dt;
        EXPECT_EQ(value.GetMinute(), -1) << value.m_dt;
    }
    EXPECT_EQ(OleTime(2012, 9, 12, 13, 8, 38).GetHour(), 13);
    EXPECT_EQ(OleTime(2012, 9, 12, 13, 8, 38).GetMinute(), 8);
}

} // namespace
} // namespace stats
