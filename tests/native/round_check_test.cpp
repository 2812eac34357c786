#include <cstring>

#include <gtest/gtest.h>

#include "log/round_check.h"
#include "tests/support/host_calls.h"

namespace stats {
namespace {

using testing::OleTime;

QsoRecord Stored(const std::string& call, const std::string& mode, const std::string& band,
                 COleDateTime time) {
    QsoRecord r;
    r.call = r.pairCall = call;
    r.mode = mode;
    r.band = band;
    r.exchSent = r.exchRcvd = "00001";
    r.time = time;
    return r;
}

TEST(RoundCheck, RepeatOnlyInTheRoundThatIsRunning) {
    struct Case {
        const char* label;
        COleDateTime stored;
        const char* call;
        const char* mode;
        CivilTime now;
        int want;
    };
    const Case cases[] = {
        {"10:05 checked at 10:15", OleTime(2012, 9, 12, 10, 5), "RA3ABC", "CW", {2012, 9, 12, 10, 15, 0}, 4},
        {"10:05 checked at 10:25", OleTime(2012, 9, 12, 10, 5), "RA3ABC", "CW", {2012, 9, 12, 10, 25, 0}, 2},
        {"10:19 checked at 10:20", OleTime(2012, 9, 12, 10, 19), "RA3ABC", "CW", {2012, 9, 12, 10, 20, 0}, 2},
        {"10:20 checked at 10:39", OleTime(2012, 9, 12, 10, 20), "RA3ABC", "CW", {2012, 9, 12, 10, 39, 30}, 4},
        {"10:40 checked at 10:58", OleTime(2012, 9, 12, 10, 40), "RA3ABC", "CW", {2012, 9, 12, 10, 58, 59}, 4},
        {"stored at minute 59", OleTime(2012, 9, 12, 10, 59), "RA3ABC", "CW", {2012, 9, 12, 10, 50, 0}, 2},
        {"checked at minute 59", OleTime(2012, 9, 12, 10, 45), "RA3ABC", "CW", {2012, 9, 12, 10, 59, 0}, 2},
        {"both at minute 59", OleTime(2012, 9, 12, 10, 59), "RA3ABC", "CW", {2012, 9, 12, 10, 59, 0}, 2},
        {"another hour", OleTime(2012, 9, 12, 9, 5), "RA3ABC", "CW", {2012, 9, 12, 10, 5, 0}, 2},
        {"yesterday, same hour and window", OleTime(2012, 9, 11, 10, 5), "RA3ABC", "CW", {2012, 9, 12, 10, 15, 0}, 2},
        {"another mode", OleTime(2012, 9, 12, 10, 5), "RA3ABC", "SSB", {2012, 9, 12, 10, 15, 0}, 2},
        {"letter case", OleTime(2012, 9, 12, 10, 5), "ra3abc", "CW", {2012, 9, 12, 10, 15, 0}, 2},
        {"rounded to the next minute's window", COleDateTime(OleTime(2012, 9, 12, 10, 19, 59).m_dt + 0.6 / 86400, COleDateTime::valid),
         "RA3ABC", "CW", {2012, 9, 12, 10, 20, 0}, 4},
        {"invalid stored time", COleDateTime(OleTime(2012, 9, 12, 10, 5).m_dt, COleDateTime::invalid),
         "RA3ABC", "CW", {2012, 9, 12, 10, 15, 0}, 2},
    };
    for (const Case& c : cases) {
        QsoLog log;
        log.Append(Stored("RA3ABC", "CW", "80m", c.stored));
        char warning[300] = "untouched";
        EXPECT_EQ(CheckRound(log, c.call, c.mode, c.now, warning), c.want) << c.label;
        if (c.want == 2) {
            EXPECT_STREQ(warning, "untouched") << c.label;
        }
    }
}

TEST(RoundCheck, AnotherBandInTheSameRoundIsARepeat) {
    QsoLog log;
    log.Append(Stored("RA3ABC", "CW", "40m", OleTime(2012, 9, 12, 10, 5)));
    char warning[300];
    EXPECT_EQ(CheckRound(log, "RA3ABC", "CW", {2012, 9, 12, 10, 10, 0}, warning), 4);
}

TEST(RoundCheck, WarningBytesAreWindows1251) {
    QsoLog log;
    log.Append(Stored("RA3ABC", "CW", "80m", OleTime(2012, 9, 12, 10, 5)));
    char warning[300];
    std::memset(warning, 'x', sizeof warning);
    ASSERT_EQ(CheckRound(log, "RA3ABC", "CW", {2012, 9, 12, 10, 15, 0}, warning), 4);
    const char expected[] = "QSO c RA3ABC \xC2 \xCE\xC4\xCD\xCE\xCC \xC8 \xD2\xCE\xCC \xC6\xC5 "
                            "\xD2\xD3\xD0\xC5 \xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC "
                            "\xCD\xC5\xCB\xDC\xC7\xDF !!!";
    EXPECT_EQ(std::strlen(expected), 50u + 6 - 1);
    EXPECT_EQ(0, std::memcmp(warning, expected, sizeof expected)); // NUL included
    EXPECT_EQ(warning[sizeof expected], 'x');                        // nothing past it
}

TEST(RoundCheck, LongCallIsCutToFitTheWarning) {
    const std::string call(1000, 'W');
    EXPECT_EQ(RepeatWarning(call).size(), kWarningCapacity - 1);
    EXPECT_EQ(RepeatWarning("R1").size(), 50u + 2 - 1);
    const std::string fits(kWarningCapacity - 50, 'W');
    EXPECT_NE(RepeatWarning(fits).find(fits), std::string::npos);
}

} // namespace
} // namespace stats
