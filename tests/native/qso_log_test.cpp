#include <gtest/gtest.h>

#include "log/qso_log.h"
#include "log/round.h"
#include "tests/support/host_calls.h"

namespace stats {
namespace {

using testing::OleTime;

QsoRecord Record(const std::string& call, const std::string& band = "80m",
                 const std::string& mode = "CW", COleDateTime time = OleTime(2012, 9, 12, 10, 5)) {
    QsoRecord r;
    r.call = r.pairCall = call;
    r.band = band;
    r.mode = mode;
    r.rstSent = r.rstRcvd = "599";
    r.exchSent = "00101";
    r.exchRcvd = "00202";
    r.freqKhz = 3550;
    r.time = time;
    return r;
}

TEST(QsoRecord, EqualOnlyWhenEveryFieldIs) {
    const QsoRecord base = Record("RA3ABC");
    EXPECT_EQ(base, base);
    EXPECT_EQ(HashQsoRecord(base), HashQsoRecord(QsoRecord(base)));
    const std::pair<const char*, void (*)(QsoRecord&)> changes[] = {
        {"call case", [](QsoRecord& r) { r.call = "ra3abc"; }},
        {"pairCall", [](QsoRecord& r) { r.pairCall = "X"; }},
        {"auxText", [](QsoRecord& r) { r.auxText = "x"; }},
        {"band", [](QsoRecord& r) { r.band = "40m"; }},
        {"mode", [](QsoRecord& r) { r.mode = "SSB"; }},
        {"rstRcvd", [](QsoRecord& r) { r.rstRcvd = "589"; }},
        {"rstSent", [](QsoRecord& r) { r.rstSent = "589"; }},
        {"exchRcvd", [](QsoRecord& r) { r.exchRcvd = "00203"; }},
        {"exchSent", [](QsoRecord& r) { r.exchSent = "00102"; }},
        {"region", [](QsoRecord& r) { r.region = "MA"; }},
        {"freqKhz", [](QsoRecord& r) { r.freqKhz = 3551; }},
        {"one second", [](QsoRecord& r) { r.time = OleTime(2012, 9, 12, 10, 5, 1); }},
        {"status", [](QsoRecord& r) { r.time.m_status = COleDateTime::invalid; }},
        {"trailing blank", [](QsoRecord& r) { r.call += " "; }},
    };
    for (const auto& change : changes) {
        QsoRecord other = base;
        change.second(other);
        EXPECT_NE(base, other) << change.first;
    }
}

TEST(QsoRecord, ZeroAndNegativeZeroDatesAreEqualAndHashAlike) {
    QsoRecord a = Record("X", "80m", "CW", COleDateTime(0.0, COleDateTime::valid));
    QsoRecord b = Record("X", "80m", "CW", COleDateTime(-0.0, COleDateTime::valid));
    EXPECT_EQ(a, b);
    EXPECT_EQ(HashQsoRecord(a), HashQsoRecord(b));
}

TEST(QsoLog, RemovalClosesTheGapInOrder) {
    QsoLog log;
    log.Append(Record("A"));
    log.Append(Record("B"));
    log.Append(Record("C"));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].call, "B");
    EXPECT_EQ(log[1].call, "C");
    EXPECT_FALSE(log.Contains(Record("A")));
    EXPECT_TRUE(log.Contains(Record("C")));
}

TEST(QsoLog, RemoveTakesTheEarliestMatchOnCallModeAndBand) {
    QsoLog log;
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 11, 0)));
    log.Append(Record("A", "40m", "CW", OleTime(2012, 9, 12, 9, 0)));
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 9, 0)));
    log.Append(Record("A", "80m", "SSB", OleTime(2012, 9, 12, 8, 0)));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].band, "40m");
    EXPECT_EQ(log[1].time, OleTime(2012, 9, 12, 9, 0));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    EXPECT_FALSE(log.RemoveFirst("A", "CW", "80m"));
    EXPECT_FALSE(log.RemoveFirst("a", "SSB", "80m"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].mode, "SSB");
}

TEST(QsoLog, AppendAfterRemovalKeepsTheOrderPerEntry) {
    QsoLog log;
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 1, 0)));
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 2, 0)));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 3, 0)));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].time, OleTime(2012, 9, 12, 3, 0));
}

TEST(QsoLog, ClearThenAppend) {
    QsoLog log;
    log.Append(Record("A"));
    log.Append(Record("B"));
    log.Clear();
    EXPECT_FALSE(log.Contains(Record("A")));
    log.Append(Record("C"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].call, "C");
    EXPECT_FALSE(log.RemoveFirst("A", "CW", "80m"));
}

TEST(QsoLog, RoundCountsFollowAppendAndRemove) {
    QsoLog log;
    const CivilTime now{2012, 9, 12, 10, 15, 0};
    log.Append(Record("A", "80m", "CW", OleTime(2012, 9, 12, 10, 5)));
    log.Append(Record("A", "40m", "CW", OleTime(2012, 9, 12, 10, 6)));
    EXPECT_TRUE(log.HasInRound("A", "CW", RoundOf(now)));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "80m"));
    EXPECT_TRUE(log.HasInRound("A", "CW", RoundOf(now)));
    ASSERT_TRUE(log.RemoveFirst("A", "CW", "40m"));
    EXPECT_FALSE(log.HasInRound("A", "CW", RoundOf(now)));
}

TEST(BandList, EntersEachNameOnceInFirstSeenOrder) {
    BandList bands;
    for (const char* band : {"20m", "80m", "20m", "", "160m", ""}) {
        bands.Enter(band);
    }
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0], "20m");
    EXPECT_EQ(bands[1], "80m");
    EXPECT_EQ(bands[2], "");
    EXPECT_EQ(bands[3], "160m");
    EXPECT_TRUE(bands.Contains(""));
    EXPECT_FALSE(bands.Contains("160M"));
    bands.Clear();
    EXPECT_TRUE(bands.empty());
    EXPECT_FALSE(bands.Contains("20m"));
}

} // namespace
} // namespace stats
