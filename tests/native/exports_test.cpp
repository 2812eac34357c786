// The exports as the host calls them, with their full argument lists, over
// the fake platform.
#include <cstring>

#include <gtest/gtest.h>

#include "plugin/stats_exports.h"
#include "tests/support/host_calls.h"
#include "tests/support/native_module.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::CallCheck;
using testing::CallQsoExport;
using testing::CallReset;
using testing::HostQso;

class ExportsTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::ReloadModule(); }
    void TearDown() override { testing::ReloadModule(); }
    testing::FakePlatform& fakes() { return testing::TheFakePlatform(); }
    testing::ScopedTempDir dir;
};

TEST_F(ExportsTest, SmallExports) {
    EXPECT_EQ(GetNumberOfSets(), 1);
    EXPECT_STREQ(GetSetName(0), "Velmora");
    EXPECT_STREQ(GetSetName(1), "");
    EXPECT_STREQ(GetSetName(-1), "");
    EXPECT_EQ(GetExchgCount0(nullptr, "x", nullptr), 1);
    struct Case {
        const char* exchange;
        int last;
        int want;
    };
    const Case cases[] = {{"00123", 0, 1}, {"00000", 0, 1}, {"99999", 0, 1}, {"1234", 0, 0},
                          {"123456", 0, 0}, {"12a45", 0, 0}, {"599", 0, 0},  {"", 0, 0},
                          {"00123", 1, 0}, {"00123", -1, 0}, {" 1234", 0, 0}, {nullptr, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidExchg0(c.exchange, "a", "b", "c", 5, 6, c.last), c.want)
            << (c.exchange ? c.exchange : "null") << " " << c.last;
    }
    SetupSet0();
    EXPECT_EQ(fakes().messages.shown, (std::vector<std::string>{"No additional setup for this contest"}));
}

TEST_F(ExportsTest, ResetStartsTheCheckerOncePerLoadAndEmptiesTheLog) {
    EXPECT_EQ(CallReset(&ResetStats0, 0, "UA3AAA"), 1);
    EXPECT_EQ(CallQsoExport(&AddData0, HostQso()), 1);
    EXPECT_EQ(TheModule().Log().size(), 1u);
    EXPECT_EQ(CallReset(&ResetStats0, 0, "UA3AAA"), 1);
    EXPECT_EQ(TheModule().Log().size(), 0u);
    EXPECT_EQ(TheModule().Bands().size(), 0u);
    EXPECT_EQ(fakes().launcher.started, (std::vector<std::string>{".\\Plugins\\Ext_kestrun.exe"}));
    EXPECT_TRUE(fakes().dialog.opened.empty());
    testing::ReloadModule();
    EXPECT_TRUE(fakes().launcher.started.empty()); // nothing at load
    CallReset(&ResetStats0, 0, "UA3AAA");
    EXPECT_EQ(fakes().launcher.started.size(), 1u);
}

TEST_F(ExportsTest, NullPointersReadAsEmpty) {
    EXPECT_EQ(ResetStats0(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0,
                          nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(testing::ReadFileBytes("-ubn.txt"), "Kestrun TEST UBN file \n\n");
    // Everything null: the mode is empty, so the QSO is refused.
    EXPECT_EQ(AddData0(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr,
                       nullptr, nullptr, nullptr),
              0);
    // A null date-time is a null one: stored, with an empty date-time text.
    const char* e = "";
    EXPECT_EQ(AddData0(e, "DL1ABC", nullptr, nullptr, nullptr, nullptr, 0, 0, "CW", e, e, "1", "2", e,
                       e, e, e, e, e, e, e, e, nullptr, 0, 0, 0, 0, 0, e, nullptr, e, nullptr, e),
              1);
    ASSERT_EQ(TheModule().Log().size(), 1u);
    EXPECT_EQ(TheModule().Log()[0].time.GetStatus(), COleDateTime::null);
    EXPECT_EQ(RemoveData0(e, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, e, e, nullptr,
                          "2", e, e, e, e, e, e, e, e, e, e, 0, 0, 0, 0, 0, e, e, e, e, e),
              0);
    EXPECT_EQ(CheckCall0(nullptr, 0, 0, nullptr, e, e, e, e, e, e, e, e, e, e, 0, 0, 0, 0, 0, e, e, e, e,
                         e, e, e, nullptr, nullptr),
              2);
    EXPECT_NE(GetResult0(nullptr), nullptr);
}

TEST_F(ExportsTest, CheckCallWritesOnlyTheWarningBuffer) {
    CallReset(&ResetStats0, 0, "UA3AAA");
    HostQso qso;
    qso.time = testing::OleTime(2012, 9, 12, 10, 5);
    CallQsoExport(&AddData0, qso);
    fakes().clock.now = {2012, 9, 12, 10, 15, 0};
    char spare[64];
    char warning[300];
    std::memset(spare, 'S', sizeof spare);
    std::memset(warning, 'W', sizeof warning);
    EXPECT_EQ(CallCheck(&CheckCall0, "RA3ABC", "SSB", spare, warning), 2);
    EXPECT_EQ(warning[0], 'W');
    EXPECT_EQ(CallCheck(&CheckCall0, "RA3ABC", "CW", spare, warning), 4);
    EXPECT_EQ(std::string(warning).substr(0, 13), "QSO c RA3ABC ");
    for (char c : spare) {
        ASSERT_EQ(c, 'S');
    }
    fakes().clock.now = {2012, 9, 12, 10, 25, 0};
    EXPECT_EQ(CallCheck(&CheckCall0, "RA3ABC", "CW", spare, warning), 2);
}

TEST_F(ExportsTest, ResultWritesClaimedAndReportsInReportMode) {
    fakes().dialog.respond = [](StationDialogFields&) { return kDialogOk; };
    CallReset(&ResetStats0, 1, "UA3AAA/P");
    EXPECT_EQ(fakes().dialog.opened.size(), 1u);
    CallQsoExport(&AddData0, HostQso());
    int result = 12345;
    const char* text = GetResult0(&result);
    EXPECT_EQ(result, -1);
    EXPECT_NE(std::strstr(text, "Score\t 9\r\n"), nullptr) << text;
    EXPECT_EQ(*fakes().settings.Find("Plugins\\ULMAK.ini", "Settings", "Claimed"), "9");
    const std::string cabrillo = testing::ReadFileBytes("UA3AAA_P.cbr");
    EXPECT_NE(cabrillo.find("CLAIMED-SCORE: 9\r\n"), std::string::npos) << cabrillo;
    EXPECT_NE(cabrillo.find("QSO:  3550 CW 2012-09-12 1005 UA3AAA/P      599 00101  RA3ABC"),
              std::string::npos)
        << cabrillo;

    CallReset(&ResetStats0, 0, "UA3AAA");
    CallQsoExport(&AddData0, HostQso());
    GetResult0(&result);
    EXPECT_EQ(result, 9);
}

} // namespace
} // namespace stats
