// GetResult0's summary and CheckCall0's round check through the real DLL.
#include <cstring>

#include "tests/wine/stats_dll.h"

namespace stats::testing {
namespace {

using SummaryTest = DllTest;

const std::string kHeader = "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\n";

HostQso Qso(const std::string& call, const std::string& band, const std::string& mode,
            int minute) {
    HostQso q;
    q.workedCall = call;
    q.band = band;
    q.mode = mode;
    q.time = OleTime(2012, 9, 12, 10, minute);
    if (call.empty() || call.rfind("DL", 0) == 0) {
        q.countryPrefix = "DL";
    }
    return q;
}

TEST_F(SummaryTest, WorkedExampleAndTheClaimedScoreInTheSettings) {
    CreateDirectoryA("Plugins", nullptr);
    dll.Reset(0, "UA3AAA");
    EXPECT_EQ(dll.Add(Qso("RA3AA", "80m", "CW", 1)), 1);
    EXPECT_EQ(dll.Add(Qso("RA3AB", "80m", "CW", 2)), 1);
    EXPECT_EQ(dll.Add(Qso("RA3AA", "80m", "SSB", 3)), 1);
    EXPECT_EQ(dll.Add(Qso("RA3AA", "160m", "CW", 4)), 1);
    EXPECT_EQ(dll.Add(Qso("DL1ABC", "160m", "BPSK63", 5)), 1);
    int result = 0;
    const std::string text = dll.Result(&result);
    EXPECT_EQ(Visible(text), Visible(kHeader + "160m\t 2\t 17\t 1\t 0\r\n80m\t 3\t 21\t 2\t 1\r\n"
                                               "Total\t 5\t 38\t 3\t 1\r\nScore\t 38\r\n"));
    EXPECT_EQ(result, 38);
    char claimed[32];
    GetPrivateProfileStringA("Settings", "Claimed", "", claimed, sizeof claimed,
                             ".\\Plugins\\ULMAK.ini");
    EXPECT_STREQ(claimed, "38");
    EXPECT_EQ(ReadFileBytes("Plugins\\ULMAK.ini"), "[Settings]\r\nClaimed=38\r\n");
    EXPECT_EQ(dll.Result(&result), text); // nothing changed, the same text
}

TEST_F(SummaryTest, EmptyLogAndNoSettingsFolder) {
    dll.Reset(0, "UA3AAA");
    int result = -5;
    EXPECT_EQ(dll.Result(&result), kHeader + "Total\t 0\t 0\t 0\t 0\r\nScore\t 0\r\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFileBytes("Plugins\\ULMAK.ini"), "<missing>");
}

TEST_F(SummaryTest, BandOrderZeroLinesAndEmptyCalls) {
    dll.Reset(0, "UA3AAA");
    const std::string longBand = "BAND NAME OF 20 BYTES";
    for (const std::string band : {"20m", "80m", "160m", "15m", "160M"}) {
        dll.Add(Qso("DL1ABC", band, "CW", 1));
    }
    dll.Add(Qso("DL1ABC", longBand, "SSB", 1));
    dll.Add(Qso("", "15m", "CW", 2)); // counts in the total only
    EXPECT_EQ(dll.Remove(Qso("DL1ABC", "20m", "CW", 0)), 1);
    int result = 0;
    EXPECT_EQ(Visible(dll.Result(&result)),
              Visible(kHeader + longBand + "\t 1\t 6\t 0\t 1\r\n"
                                           "160m\t 1\t 7\t 1\t 0\r\n"
                                           "160M\t 1\t 6\t 1\t 0\r\n"
                                           "80m\t 1\t 6\t 1\t 0\r\n"
                                           "20m\t 0\t 0\t 0\t 0\r\n"
                                           "15m\t 1\t 6\t 1\t 0\r\n"
                                           "Total\t 6\t 31\t 4\t 1\r\nScore\t 31\r\n"));
}

TEST_F(SummaryTest, RoundCheckAgainstTheSystemClock) {
    dll.Reset(0, "UA3AAA");
    for (int attempt = 0; attempt < 3; ++attempt) {
        SYSTEMTIME before;
        GetSystemTime(&before);
        if (before.wMinute == 59 || before.wMinute % 20 == 19 || before.wSecond > 55) {
            // Too close to the end of a round: wait for the next minute.
            Sleep((61 - before.wSecond) * 1000);
            continue;
        }
        HostQso now = Qso("RA3ABC", "40m", "CW", 0);
        now.time = UtcNowPlusMinutes(0);
        HostQso earlier = Qso("RA3ABD", "40m", "CW", 0);
        earlier.time = UtcNowPlusMinutes(-25);
        HostQso yesterday = Qso("RA3ABE", "40m", "CW", 0);
        yesterday.time = UtcNowPlusMinutes(-24 * 60);
        dll.Add(now);
        dll.Add(earlier);
        dll.Add(yesterday);
        char warning[300];
        std::memset(warning, 'W', sizeof warning);
        EXPECT_EQ(dll.Check("RA3ABD", "CW", warning), 2);
        EXPECT_EQ(dll.Check("RA3ABE", "CW", warning), 2);
        EXPECT_EQ(dll.Check("RA3ABC", "SSB", warning), 2);
        EXPECT_EQ(dll.Check("ra3abc", "CW", warning), 2);
        EXPECT_EQ(warning[0], 'W');
        EXPECT_EQ(dll.Check("RA3ABC", "CW", warning), 4);
        const char expected[] = "QSO c RA3ABC \xC2 \xCE\xC4\xCD\xCE\xCC \xC8 \xD2\xCE\xCC "
                                "\xC6\xC5 \xD2\xD3\xD0\xC5 \xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC "
                                "\xCD\xC5\xCB\xDC\xC7\xDF !!!";
        EXPECT_EQ(0, std::memcmp(warning, expected, sizeof expected));
        EXPECT_EQ(warning[sizeof expected], 'W');
        return;
    }
    FAIL() << "the clock stayed at the end of a round";
}

} // namespace
} // namespace stats::testing
