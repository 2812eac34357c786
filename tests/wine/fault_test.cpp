// Disk faults: each export still answers as documented, the host process
// survives, and the files of earlier passes stay as they were.
#include "tests/wine/stats_dll.h"

namespace stats::testing {
namespace {

// Presses a button of the station details dialog once it shows.
void AnswerStationDialog(int button) {
    if (HWND dialog = WaitForOwnDialog("Velmora")) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
}

class FaultsTest : public DllTest {
  protected:
    // A report-mode pass whose dialog the user confirms.
    void ReportPass(const std::string& call) {
        Watcher user([] { AnswerStationDialog(IDOK); });
        EXPECT_EQ(dll.Reset(1, call), 1);
    }
    // GetResult0 in report mode: the summary and -1, whatever the disk did.
    void ExpectReport(const std::string& scoreLine) {
        int result = 0;
        EXPECT_NE(dll.Result(&result).find(scoreLine), std::string::npos);
        EXPECT_EQ(result, -1);
    }
};

TEST_F(FaultsTest, NoPluginsFolder) {
    ReportPass("UA3AAA");
    EXPECT_EQ(dll.Add(HostQso()), 1);
    ExpectReport("Score\t 9\r\n");
    EXPECT_EQ(ReadFileBytes("Plugins\\ULMAK.ini"), "<missing>");
    EXPECT_NE(ReadFileBytes("UA3AAA.cbr").find("CLAIMED-SCORE: 9\r\n"), std::string::npos);
}

TEST_F(FaultsTest, ReadOnlySettingsFile) {
    CreateDirectoryA("Plugins", nullptr);
    const std::string settings = "[Settings]\r\nName=Ivan\r\nClaimed=5\r\n";
    WriteFileBytes("Plugins\\ULMAK.ini", settings);
    ASSERT_TRUE(SetFileAttributesA("Plugins\\ULMAK.ini", FILE_ATTRIBUTE_READONLY));
    // The attribute does not stop a process that runs as root under Wine; a
    // reader that allows no writers (an editor, a virus scanner) does.
    HANDLE reader = CreateFileA("Plugins\\ULMAK.ini", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ReportPass("UA3AAA");
    EXPECT_EQ(dll.Add(HostQso()), 1);
    ExpectReport("Score\t 9\r\n");
    CloseHandle(reader);
    SetFileAttributesA("Plugins\\ULMAK.ini", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes("Plugins\\ULMAK.ini"), settings);
    // The details were still read from it.
    EXPECT_NE(ReadFileBytes("UA3AAA.cbr").find("NAME: Ivan\r\n"), std::string::npos);
}

TEST_F(FaultsTest, TemplateThatIsAFolder) {
    ASSERT_TRUE(CreateDirectoryA("cabrillo.ini", nullptr));
    ReportPass("UA3AAA");
    EXPECT_EQ(dll.Add(HostQso()), 1);
    ExpectReport("Score\t 9\r\n");
    const std::string cabrillo = ReadFileBytes("UA3AAA.cbr");
    EXPECT_NE(cabrillo.find("SOAPBOX: \r\nQSO:  3550 CW 2012-09-12 1005"), std::string::npos)
        << Visible(cabrillo);
}

TEST_F(FaultsTest, TemplateHeldOpenWithoutSharing) {
    WriteFileBytes("cabrillo.ini", "LOCATION: X\r\n");
    HANDLE held = CreateFileA("cabrillo.ini", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ReportPass("UA3AAA");
    ExpectReport("Score\t 0\r\n");
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes("cabrillo.ini"), "LOCATION: X\r\n"); // never truncated
    const std::string cabrillo = ReadFileBytes("UA3AAA.cbr");
    EXPECT_NE(cabrillo.find("SOAPBOX: \r\nEND-OF-LOG:\r\n"), std::string::npos) << Visible(cabrillo);
}

TEST_F(FaultsTest, CabrilloFileHeldOpenKeepsTheLastGoodOne) {
    ReportPass("UA3AAA");
    EXPECT_EQ(dll.Add(HostQso()), 1);
    ExpectReport("Score\t 9\r\n");
    const std::string good = ReadFileBytes("UA3AAA.cbr");
    ASSERT_NE(good.find("QSO:  3550"), std::string::npos);

    HANDLE held = CreateFileA("UA3AAA.cbr", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HostQso second;
    second.workedCall = "RA3ABD";
    EXPECT_EQ(dll.Add(second), 1);
    ExpectReport("Score\t 15\r\n");
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes("UA3AAA.cbr"), good);
    EXPECT_EQ(ReadFileBytes("UA3AAA.cbr.tmp"), "<missing>");
    ExpectReport("Score\t 15\r\n"); // free again: the next report writes it
    EXPECT_NE(ReadFileBytes("UA3AAA.cbr").find("RA3ABD"), std::string::npos);
}

TEST_F(FaultsTest, CallsignsThatNameNoFile) {
    for (const char* call : {"UA3AAA:P", "UA3*", "UA3?", "UA3<A>", "UA3|A", "CON", "\"R1\""}) {
        ReportPass(call);
        HostQso rtty;
        rtty.mode = "RTTY";
        EXPECT_EQ(dll.Add(rtty), 0) << call;
        EXPECT_EQ(dll.Add(HostQso()), 1) << call;
        ExpectReport("Score\t 9\r\n");
        char warning[300];
        EXPECT_EQ(dll.Check("NOBODY", "CW", warning), 2);
    }
}

TEST_F(FaultsTest, CurrentFolderNotWritable) {
    // /proc takes no new files, not even from root: the host's folder as a
    // folder nobody may write to.
    if (!SetCurrentDirectoryA("Z:\\proc")) {
        GTEST_SKIP() << "no read-only folder to work in";
    }
    ReportPass("UA3AAA");
    HostQso rtty;
    rtty.mode = "RTTY";
    EXPECT_EQ(dll.Add(rtty), 0);
    EXPECT_EQ(dll.Add(HostQso()), 1);
    EXPECT_EQ(dll.Remove(HostQso()), 1);
    EXPECT_EQ(dll.Add(HostQso()), 1);
    ExpectReport("Score\t 9\r\n");
    EXPECT_EQ(ReadFileBytes("UA3AAA-ubn.txt"), "<missing>");
    EXPECT_EQ(ReadFileBytes("UA3AAA.cbr"), "<missing>");
    SetCurrentDirectoryA(dir.path().c_str());
}

} // namespace
} // namespace stats::testing
