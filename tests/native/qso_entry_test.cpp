#include <gtest/gtest.h>

#include "log/qso_entry.h"
#include "tests/support/fake_platform.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::OleTime;

QsoReport Qso(std::string_view call = "RA3ABC", std::string_view mode = "CW",
              std::string_view band = "80m") {
    QsoReport q;
    q.ownCall = "UA3AAA";
    q.workedCall = call;
    q.qsoTime = OleTime(2012, 9, 12, 10, 5);
    q.freqHz = 3550999;
    q.mode = mode;
    q.rstSent = "599";
    q.rstRcvd = "579";
    q.exchSent = "00101";
    q.exchRcvd = "00202";
    q.countryPrefix = "UA";
    q.band = band;
    return q;
}

class QsoEntryTest : public ::testing::Test {
  protected:
    void SetUp() override { ubn.Open(files, "UA3AAA"); }
    std::string UbnLines() {
        ubn.Close();
        const std::string text = testing::ReadFileBytes("UA3AAA-ubn.txt");
        return text.substr(UbnHeader("UA3AAA").size());
    }

    testing::ScopedTempDir dir;
    testing::PosixFileSystem files;
    QsoLog log;
    BandList bands;
    UbnFile ubn;
};

TEST_F(QsoEntryTest, AcceptsOrRefusesByModeExchangeAndRegion) {
    struct Case {
        const char* label;
        void (*edit)(QsoReport&);
        int result;
        bool stored;
        const char* region;
    };
    const Case cases[] = {
        {"CW", [](QsoReport&) {}, 1, true, "MA"},
        {"SSB", [](QsoReport& q) { q.mode = "SSB"; }, 1, true, "MA"},
        {"BPSK63", [](QsoReport& q) { q.mode = "BPSK63"; }, 1, true, "MA"},
        {"BPSK62", [](QsoReport& q) { q.mode = "BPSK62"; }, 1, true, "MA"},
        {"lower-case cw", [](QsoReport& q) { q.mode = "cw"; }, 0, false, ""},
        {"CW and a blank", [](QsoReport& q) { q.mode = "CW "; }, 0, false, ""},
        {"RTTY", [](QsoReport& q) { q.mode = "RTTY"; }, 0, false, ""},
        {"no received exchange", [](QsoReport& q) { q.exchRcvd = ""; }, 0, false, ""},
        {"no sent exchange", [](QsoReport& q) { q.exchSent = ""; }, 0, false, ""},
        {"UA2", [](QsoReport& q) { q.countryPrefix = "UA2"; q.workedCall = "UA2FAA"; }, 1, true, "KA"},
        {"UA9", [](QsoReport& q) { q.countryPrefix = "UA9"; q.workedCall = "RZ9UA"; }, 1, true, "KE"},
        {"foreign", [](QsoReport& q) { q.countryPrefix = "DL"; q.workedCall = "DL1ABC"; }, 1, true, ""},
        {"no prefix", [](QsoReport& q) { q.countryPrefix = ""; q.workedCall = "RA3JAA"; }, 1, true, ""},
        {"home without a region", [](QsoReport& q) { q.countryPrefix = "UA9"; q.workedCall = "UA9VAA"; }, 0, false, ""},
    };
    for (const Case& c : cases) {
        log.Clear();
        QsoReport q = Qso();
        c.edit(q);
        EXPECT_EQ(AddQso(log, bands, ubn, q), c.result) << c.label;
        ASSERT_EQ(log.size(), c.stored ? 1u : 0u) << c.label;
        if (c.stored) {
            EXPECT_EQ(log[0].region, c.region) << c.label;
            EXPECT_EQ(log[0].mode, std::string(q.mode)) << c.label;
        }
    }
}

TEST_F(QsoEntryTest, StoresEveryFieldFromItsArgument) {
    QsoReport q = Qso();
    q.auxText = "aux";
    ASSERT_EQ(AddQso(log, bands, ubn, q), 1);
    const QsoRecord& r = log[0];
    EXPECT_EQ(r.call, "RA3ABC");
    EXPECT_EQ(r.pairCall, "RA3ABC");
    EXPECT_EQ(r.auxText, "aux");
    EXPECT_EQ(r.band, "80m");
    EXPECT_EQ(r.rstSent, "599");
    EXPECT_EQ(r.rstRcvd, "579");
    EXPECT_EQ(r.exchSent, "00101");
    EXPECT_EQ(r.exchRcvd, "00202");
    EXPECT_EQ(r.freqKhz, 3550u); // the remainder is dropped, never rounded up
    EXPECT_EQ(r.time, q.qsoTime);
}

TEST_F(QsoEntryTest, FrequencyBelowOneKilohertzIsZero) {
    QsoReport q = Qso();
    q.freqHz = 999;
    ASSERT_EQ(AddQso(log, bands, ubn, q), 1);
    EXPECT_EQ(log[0].freqKhz, 0u);
}

TEST_F(QsoEntryTest, SameQsoTwiceIsStoredOnceSameStationLaterTwice) {
    EXPECT_EQ(AddQso(log, bands, ubn, Qso()), 1);
    EXPECT_EQ(AddQso(log, bands, ubn, Qso()), 1);
    EXPECT_EQ(log.size(), 1u);
    QsoReport later = Qso();
    later.qsoTime = OleTime(2012, 9, 12, 10, 25);
    EXPECT_EQ(AddQso(log, bands, ubn, later), 1);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(QsoEntryTest, BandIsEnteredBeforeTheRegionStep) {
    QsoReport q = Qso("UA9VAA", "CW", "40m");
    q.countryPrefix = "UA9";
    EXPECT_EQ(AddQso(log, bands, ubn, q), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(bands.Contains("40m"));
    QsoReport foreign = Qso("RA3ABC", "RTTY", "20m");
    EXPECT_EQ(AddQso(log, bands, ubn, foreign), 0);
    EXPECT_FALSE(bands.Contains("20m"));
}

TEST_F(QsoEntryTest, RefusalsOfModeAndExchangeAreListedOthersAreNot) {
    QsoReport rtty = Qso("DL1ABC", "RTTY");
    rtty.qsoTime = OleTime(2012, 9, 12, 9, 5, 7);
    AddQso(log, bands, ubn, rtty);
    QsoReport noRx = Qso("RA3ABD");
    noRx.exchRcvd = "";
    AddQso(log, bands, ubn, noRx);
    QsoReport noTx = Qso("RA3ABE");
    noTx.exchSent = "";
    AddQso(log, bands, ubn, noTx);
    QsoReport noRegion = Qso("UA1EAA");
    AddQso(log, bands, ubn, noRegion);
    AddQso(log, bands, ubn, Qso());
    AddQso(log, bands, ubn, Qso()); // already held
    EXPECT_EQ(UbnLines(), "QSO: 3550  RTTY  2012-09-12 0905  UA3AAA  599  00101  DL1ABC  579  00202 No contest mode \n"
                          "QSO: 3550  CW  2012-09-12 1005  UA3AAA  599  00101  RA3ABD  579  No RX number\n"
                          "QSO: 3550  CW  2012-09-12 1005  UA3AAA  599    RA3ABE  579  00202No RX number\n");
}

TEST_F(QsoEntryTest, RemoveNeedsBothExchangesAndMatchesCallModeBand) {
    AddQso(log, bands, ubn, Qso());
    QsoReport other = Qso();
    other.qsoTime = OleTime(2012, 9, 12, 11, 0);
    other.rstRcvd = "559";
    AddQso(log, bands, ubn, other);

    QsoReport remove = Qso();
    remove.qsoTime = OleTime(2000, 1, 1);
    remove.freqHz = 0;
    remove.rstSent = remove.rstRcvd = "";
    remove.exchRcvd = "";
    EXPECT_EQ(RemoveQso(log, remove), 0);
    EXPECT_EQ(log.size(), 2u);
    remove.exchRcvd = "1";
    EXPECT_EQ(RemoveQso(log, remove), 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rstRcvd, "559"); // the one added first went
    EXPECT_EQ(RemoveQso(log, Qso("RA3ABC", "SSB")), 1);
    EXPECT_EQ(RemoveQso(log, Qso("RA3ABC", "CW", "40m")), 1);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(RemoveQso(log, remove), 1);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(bands.Contains("80m"));
}

TEST(QsoEntry, WithoutAUbnFileRefusalsStillReturnZero) {
    QsoLog log;
    BandList bands;
    UbnFile none;
    QsoReport q;
    q.mode = "RTTY";
    EXPECT_EQ(AddQso(log, bands, none, q), 0);
}

} // namespace
} // namespace stats
