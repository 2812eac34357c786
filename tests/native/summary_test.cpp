#include <random>

#include <gtest/gtest.h>

#include "scoring/band_order.h"
#include "scoring/summary.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::OleTime;
using testing::Visible;

QsoRecord Stored(const std::string& call, const std::string& band, const std::string& mode,
                 const std::string& region, int minute = 0) {
    QsoRecord r;
    r.call = r.pairCall = call;
    r.band = band;
    r.mode = mode;
    r.region = region;
    r.exchSent = r.exchRcvd = "00001";
    r.time = OleTime(2012, 9, 12, 10, minute);
    return r;
}

const char* const kHeader = "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\n";

TEST(Summary, WorkedExample) {
    QsoLog log;
    BandList bands;
    bands.Enter("80m");
    bands.Enter("160m");
    log.Append(Stored("X", "80m", "CW", "R1"));
    log.Append(Stored("Y", "80m", "CW", "R1"));
    log.Append(Stored("X", "80m", "SSB", "R1"));
    log.Append(Stored("X", "160m", "CW", "R1"));
    log.Append(Stored("Z", "160m", "BPSK63", ""));
    const Summary s = ScoreLog(log, bands);
    EXPECT_EQ(Visible(s.text), Visible(std::string(kHeader) +
                                       "160m\t 2\t 17\t 1\t 0\r\n"
                                       "80m\t 3\t 21\t 2\t 1\r\n"
                                       "Total\t 5\t 38\t 3\t 1\r\n"
                                       "Score\t 38\r\n"));
    EXPECT_EQ(s.score, 38);
    EXPECT_EQ(bands[0], "160m");
    EXPECT_EQ(ScoreLog(log, bands).text, s.text);
}

TEST(Summary, EmptyLog) {
    QsoLog log;
    BandList bands;
    const Summary s = ScoreLog(log, bands);
    EXPECT_EQ(s.text, std::string(kHeader) + "Total\t 0\t 0\t 0\t 0\r\nScore\t 0\r\n");
    EXPECT_EQ(s.score, 0);
}

TEST(Summary, CountingRules) {
    QsoLog log;
    BandList bands;
    for (const char* band : {"40m", "20m", "160M", "gone"}) {
        bands.Enter(band);
    }
    log.Append(Stored("A", "40m", "CW", "MA", 1));
    log.Append(Stored("A", "40m", "CW", "MA", 2)); // same pair, same region: 1 point more
    log.Append(Stored("A", "40m", "SSB", "", 3));   // a new pair, no region
    log.Append(Stored("B", "40m", "BPSK62", "SP", 4));
    log.Append(Stored("A", "20m", "CW", "MA", 5));  // counted again on another band
    log.Append(Stored("", "20m", "CW", "KA", 6));   // no call: only the total counts it
    log.Append(Stored("C", "160M", "SSB", "", 7));  // not "160m": 1 point
    const Summary s = ScoreLog(log, bands);
    // 40m: 4 QSOs, regions MA SP, pairs A/CW A/SSB B/BPSK62: 6 + 4 + 15 = 25.
    // 20m: 1 QSO, MA, A/CW: 3 + 1 + 5 = 9. 160M: 1 + 5 = 6. "gone" sorts first: 'g'
    // is above every digit.
    EXPECT_EQ(Visible(s.text), Visible(std::string(kHeader) +
                                       "gone\t 0\t 0\t 0\t 0\r\n"
                                       "160M\t 1\t 6\t 0\t 1\r\n"
                                       "40m\t 4\t 25\t 2\t 1\r\n"
                                       "20m\t 1\t 9\t 1\t 0\r\n"
                                       "Total\t 7\t 40\t 3\t 2\r\n"
                                       "Score\t 40\r\n"));
}

// The ordering as an exchange sort states it, to compare with.
std::vector<std::string> ExchangeSorted(std::vector<std::string> names) {
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            if (BandSortKey(names[i]) < BandSortKey(names[j])) {
                std::swap(names[i], names[j]);
            }
        }
    }
    return names;
}

TEST(BandOrder, FallingNumbersAndLongNames) {
    std::vector<std::string> names = {"20m", "80m", "160m", "15m"};
    OrderBands(names);
    EXPECT_EQ(names, (std::vector<std::string>{"160m", "80m", "20m", "15m"}));
    names = {"2m", "6m", "10m", "12m", "17m", "30m", "40m", "160m", "80m", "20m", "15m"};
    OrderBands(names);
    EXPECT_EQ(names, (std::vector<std::string>{"160m", "80m", "40m", "30m", "20m", "17m", "15m",
                                               "12m", "10m", "6m", "2m"}));
    const std::string longName = "a band name of 20+ b";
    names = {"80m", longName, "160m"};
    OrderBands(names);
    EXPECT_EQ(names, ExchangeSorted({"80m", longName, "160m"}));
    EXPECT_EQ(names[0], longName); // 'a' sorts above the padding '0'
}

TEST(BandOrder, TiesComeOutAsTheExchangeSortLeavesThem) {
    const std::vector<std::vector<std::string>> cases = {
        {"160m", "0160m", "80m", "00160m"},
        {"", "0", "00", "5", "05"},
        {"0160m", "20m", "160m", "080m", "80m", "0"},
    };
    for (const auto& names : cases) {
        std::vector<std::string> got = names;
        OrderBands(got);
        EXPECT_EQ(got, ExchangeSorted(names));
    }
    std::mt19937 random(7);
    const std::vector<std::string> pool = {"", "0", "00", "1", "01", "160m", "0160m", "80m",
                                           "080m", "40m", "zzzzzzzzzzzzzzzzzzzzzz", "0000000000000000000000"};
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string> names;
        for (const std::string& name : pool) {
            if (random() % 2) {
                names.push_back(name);
            }
        }
        std::shuffle(names.begin(), names.end(), random);
        std::vector<std::string> got = names;
        OrderBands(got);
        ASSERT_EQ(got, ExchangeSorted(names));
    }
}

} // namespace
} // namespace stats
