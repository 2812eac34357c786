#include <gtest/gtest.h>

#include "report/cabrillo.h"
#include "tests/support/fake_platform.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::OleTime;
using testing::Visible;

TEST(Cabrillo, ModeCodes) {
    EXPECT_STREQ(CabrilloModeCode("CW"), "CW");
    EXPECT_STREQ(CabrilloModeCode("BPSK63"), "PM");
    EXPECT_STREQ(CabrilloModeCode("BPSK62"), "PM");
    EXPECT_STREQ(CabrilloModeCode("SSB"), "PH");
    EXPECT_STREQ(CabrilloModeCode("cw"), "??");
    EXPECT_STREQ(CabrilloModeCode(""), "??");
}

TEST(Cabrillo, QsoLineLayout) {
    const COleDateTime t = OleTime(2012, 2, 18, 9, 5, 40);
    struct Case {
        const char* label;
        std::uint32_t khz;
        const char* call;
        const char* want;
    };
    const Case cases[] = {
        {"four digits", 3550, "RA3ABC", "QSO:  3550 CW 2012-02-18 0905 UA3AAA        599 00101  RA3ABC        599 00202\r\n"},
        {"five digits", 14025, "RA3ABC", "QSO: 14025 CW 2012-02-18 0905 UA3AAA        599 00101  RA3ABC        599 00202\r\n"},
        {"six digits", 144050, "RA3ABC", "QSO: 144050 CW 2012-02-18 0905 UA3AAA        599 00101  RA3ABC        599 00202\r\n"},
        {"empty call", 3550, "", "QSO:  3550 CW 2012-02-18 0905 UA3AAA        599 00101                599 00202\r\n"},
        {"15 characters", 3550, "RA3ABC/01234567", "QSO:  3550 CW 2012-02-18 0905 UA3AAA        599 00101  RA3ABC/01234567 599 00202\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CabrilloQsoLine("UA3AAA", c.call, c.khz, "CW", t, "599", "00101", "599", "00202"), c.want)
            << c.label;
    }
    EXPECT_EQ(CabrilloQsoLine("UA3AAA", "R1", 7000, "PM", COleDateTime(t.m_dt, COleDateTime::invalid),
                              "5", "1", "55", "2"),
              "QSO:  7000 PM  UA3AAA        5   1      R1            55  2\r\n");
}

StationProfile Profile() {
    StationProfile p;
    p.callsign = "UA3AAA";
    p.category = "CAT";
    p.name = "Ivan";
    p.address = "A\r\nADDRESS: B";
    p.operators = "UA3AAA";
    p.soapbox = "";
    p.fileBase = "UA3AAA";
    return p;
}

const char* const kHeader = "START-OF-LOG: 2.0\r\nCALLSIGN: UA3AAA\r\nCATEGORY: CAT\r\n"
                            "CLAIMED-SCORE: -5\r\nCLUB: \r\nCONTEST: VELMORA\r\n"
                            "CREATED-BY: Vestra \r\nNAME: Ivan\r\nADDRESS: A\r\nADDRESS: B\r\n"
                            "OPERATORS: UA3AAA\r\nEMAIL: \r\nSOAPBOX: \r\n";

TEST(Cabrillo, FileIsHeaderTemplateLinesEnd) {
    testing::ScopedTempDir dir;
    testing::PosixFileSystem files;
    StationProfile p = Profile();
    p.cabrilloLines = {"QSO: one\r\n", "QSO: two\r\n"};
    testing::WriteFileBytes("cabrillo.ini", "LOCATION: X\r\nNO-END");
    WriteCabrilloFile(p, -5, files);
    EXPECT_EQ(Visible(testing::ReadFileBytes("UA3AAA.cbr")),
              Visible(std::string(kHeader) + "LOCATION: X\r\nNO-ENDQSO: one\r\nQSO: two\r\nEND-OF-LOG:\r\n"));
    EXPECT_FALSE(testing::FileExists("UA3AAA.cbr.tmp"));
}

TEST(Cabrillo, MissingTemplateIsCreatedEmpty) {
    testing::ScopedTempDir dir;
    testing::PosixFileSystem files;
    WriteCabrilloFile(Profile(), -5, files);
    EXPECT_EQ(testing::ReadFileBytes("cabrillo.ini"), "");
    EXPECT_EQ(testing::ReadFileBytes("UA3AAA.cbr"), std::string(kHeader) + "END-OF-LOG:\r\n");
}

TEST(Cabrillo, AFailedWriteLeavesThePreviousFile) {
    testing::ScopedTempDir dir;
    testing::PosixFileSystem files;
    testing::WriteFileBytes("UA3AAA.cbr", "previous");
    files.failReplace = true;
    WriteCabrilloFile(Profile(), 1, files);
    EXPECT_EQ(testing::ReadFileBytes("UA3AAA.cbr"), "previous");
    EXPECT_FALSE(testing::FileExists("UA3AAA.cbr.tmp"));
    files.failReplace = false;
    files.failOpens = true;
    WriteCabrilloFile(Profile(), 1, files);
    EXPECT_EQ(testing::ReadFileBytes("UA3AAA.cbr"), "previous");
}

TEST(Cabrillo, CollectsOneLinePerQsoAfresh) {
    QsoLog log;
    QsoRecord r;
    r.call = "RA3ABC";
    r.mode = "SSB";
    r.freqKhz = 3650;
    r.time = OleTime(2012, 9, 12, 10, 5);
    r.rstSent = r.rstRcvd = "59";
    r.exchSent = "00101";
    r.exchRcvd = "00202";
    log.Append(r);
    StationProfile p = Profile();
    p.cabrilloLines = {"stale\r\n"};
    CollectCabrilloLines(p, log);
    CollectCabrilloLines(p, log);
    ASSERT_EQ(p.cabrilloLines.size(), 1u);
    EXPECT_EQ(p.cabrilloLines[0], "QSO:  3650 PH 2012-09-12 1005 UA3AAA        59  00101  RA3ABC        59  00202\r\n");
}

} // namespace
} // namespace stats
