// AddData0 and RemoveData0 through the real DLL, and the rejected-QSO file
// they leave, byte for byte.
#include "tests/wine/stats_dll.h"

namespace stats::testing {
namespace {

using QsoTest = DllTest;

TEST_F(QsoTest, AcceptsRefusesAndListsRefusals) {
    ASSERT_EQ(dll.Reset(0, "UA3AAA"), 1);
    struct Case {
        const char* label;
        void (*edit)(HostQso&);
        int want;
    };
    const Case cases[] = {
        {"CW", [](HostQso&) {}, 1},
        {"SSB", [](HostQso& q) { q.mode = "SSB"; q.workedCall = "RA3ABD"; }, 1},
        {"BPSK63", [](HostQso& q) { q.mode = "BPSK63"; q.workedCall = "RA3ABE"; }, 1},
        {"BPSK62", [](HostQso& q) { q.mode = "BPSK62"; q.workedCall = "RA3ABF"; }, 1},
        {"lower-case cw", [](HostQso& q) { q.mode = "cw"; }, 0},
        {"padded CW", [](HostQso& q) { q.mode = "CW "; }, 0},
        {"RTTY at 9:05:07", [](HostQso& q) { q.mode = "RTTY"; q.time = OleTime(2012, 9, 12, 9, 5, 7); }, 0},
        {"no received exchange", [](HostQso& q) { q.exchRcvd = ""; }, 0},
        {"no sent exchange", [](HostQso& q) { q.exchSent = ""; }, 0},
        {"UA2", [](HostQso& q) { q.countryPrefix = "UA2"; q.workedCall = "UA2FAA"; }, 1},
        {"UA9", [](HostQso& q) { q.countryPrefix = "UA9"; q.workedCall = "RZ9UA"; }, 1},
        {"foreign", [](HostQso& q) { q.countryPrefix = "DL"; q.workedCall = "DL1ABC"; }, 1},
        {"home call without a region", [](HostQso& q) { q.countryPrefix = "UA9"; q.workedCall = "UA9VAA"; q.band = "40m"; }, 0},
        {"the same QSO again", [](HostQso&) {}, 1},
        {"the same station later", [](HostQso& q) { q.time = OleTime(2012, 9, 12, 10, 25); }, 1},
        {"at midnight with no time", [](HostQso& q) { q.mode = "RTTY"; q.time = OleTime(2012, 9, 12); }, 0},
        {"invalid date-time", [](HostQso& q) { q.mode = "RTTY"; q.time.m_status = COleDateTime::invalid; }, 0},
    };
    for (const Case& c : cases) {
        HostQso qso;
        c.edit(qso);
        EXPECT_EQ(dll.Add(qso), c.want) << c.label;
    }
    int result = 0;
    // 9 distinct records on 80m; 40m entered by the refused home call.
    const std::string summary = dll.Result(&result);
    EXPECT_NE(summary.find("80m\t 8\t "), std::string::npos) << summary;
    EXPECT_NE(summary.find("40m\t 0\t 0\t 0\t 0\r\n"), std::string::npos) << summary;
    EXPECT_EQ(Visible(ReadFileBytes("UA3AAA-ubn.txt")), Visible(ReadGolden("rejections-ubn.txt")));
}

TEST_F(QsoTest, RemoveTakesTheFirstMatchAndKeepsTheBand) {
    dll.Reset(0, "UA3AAA");
    HostQso first;
    first.rstRcvd = "559";
    HostQso second;
    second.time = OleTime(2012, 9, 12, 11, 0);
    dll.Add(first);
    dll.Add(second);
    HostQso removal;
    removal.time = OleTime(2001, 1, 1);
    removal.freqHz = 0;
    removal.exchRcvd = "";
    EXPECT_EQ(dll.Remove(removal), 0);
    removal.exchRcvd = "9";
    EXPECT_EQ(dll.Remove(removal), 1);
    // A check now finds nothing either way; the summary shows one QSO left.
    int result = 0;
    EXPECT_NE(dll.Result(&result).find("80m\t 1\t 9\t 1\t 0\r\n"), std::string::npos);
    EXPECT_EQ(dll.Remove(removal), 1);
    EXPECT_EQ(dll.Remove(removal), 1); // nothing left to remove: still handled
    EXPECT_NE(dll.Result(&result).find("80m\t 0\t 0\t 0\t 0\r\n"), std::string::npos);
}

TEST_F(QsoTest, ANewPassStartsItsFileAfreshAndAPortableCallNamesAFile) {
    dll.Reset(0, "UA3AAA/P");
    HostQso rtty;
    rtty.mode = "RTTY";
    dll.Add(rtty);
    EXPECT_NE(ReadFileBytes("UA3AAA_P-ubn.txt").find("No contest mode \r\n"), std::string::npos);
    dll.Reset(0, "UA3AAA/P");
    EXPECT_EQ(ReadFileBytes("UA3AAA_P-ubn.txt"), "Kestrun TEST UBN file UA3AAA/P\r\n\r\n");
}

TEST_F(QsoTest, APassWithoutItsFileStillAnswers) {
    // A folder of the file's name: the file cannot be created.
    ASSERT_TRUE(CreateDirectoryA("UA3AAA-ubn.txt", nullptr));
    EXPECT_EQ(dll.Reset(0, "UA3AAA"), 1);
    HostQso rtty;
    rtty.mode = "RTTY";
    EXPECT_EQ(dll.Add(rtty), 0);
    EXPECT_EQ(dll.Add(HostQso()), 1);
    int result = 0;
    EXPECT_NE(dll.Result(&result).find("Score\t 9\r\n"), std::string::npos);
    // Refusals before any pass find no file and still answer 0.
    dll.Reload();
    EXPECT_EQ(dll.Add(rtty), 0);
}

} // namespace
} // namespace stats::testing
