// The export table and the small exports, through the real DLL.
#include <cstring>
#include <fstream>
#include <regex>
#include <vector>

#include "tests/wine/stats_dll.h"

namespace stats::testing {
namespace {

using ExportsTest = DllTest;

TEST_F(ExportsTest, EveryNameOfTheListResolvesEachPairToOneAddress) {
    std::ifstream def(STATS_DEF_FILE);
    ASSERT_TRUE(def.good()) << STATS_DEF_FILE;
    const std::regex alias(R"re(^\s*"([^"]+)" = (\w+)\s*$)re");
    int pairs = 0;
    for (std::string line; std::getline(def, line);) {
        std::smatch m;
        if (std::regex_match(line, m, alias)) {
            FARPROC decorated = dll.Find(m[1].str().c_str());
            FARPROC plain = dll.Find(m[2].str().c_str());
            EXPECT_NE(plain, nullptr) << m[2];
            EXPECT_EQ(decorated, plain) << m[1];
            ++pairs;
        }
    }
    EXPECT_EQ(pairs, 10);
    EXPECT_EQ(dll.Find("NoSuchExport"), nullptr);
}

TEST_F(ExportsTest, SmallExportsNeedNoPass) {
    EXPECT_EQ(dll.GetNumberOfSets(), 1);
    EXPECT_STREQ(dll.GetSetName(0), "Velmora");
    EXPECT_STREQ(dll.GetSetName(1), "");
    EXPECT_STREQ(dll.GetSetName(-1), "");
    EXPECT_EQ(dll.GetExchgCount0("a", "b", "c"), 1);
    struct Case {
        const char* exchange;
        int last;
        int want;
    };
    const Case cases[] = {{"00123", 0, 1}, {"00000", 0, 1}, {"1234", 0, 0}, {"123456", 0, 0},
                          {"12a45", 0, 0}, {"599", 0, 0},   {"", 0, 0},     {"00123", 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(dll.IsValidExchg0(c.exchange, "", "", "", 1, 2, c.last), c.want)
            << c.exchange << " " << c.last;
    }
}

bool WaitForFile(const std::string& name, const std::string& content) {
    for (int i = 0; i < 300; ++i) {
        if (ReadFileBytes(name) == content) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

TEST_F(ExportsTest, CheckerStartsOncePerLoad) {
    CreateDirectoryA("Plugins", nullptr);
    const std::string checker = HostFolder() + "\\fake_checker.exe";
    ASSERT_TRUE(CopyFileA(checker.c_str(), "Plugins\\Ext_kestrun.exe", FALSE)) << checker;
    EXPECT_EQ(dll.Reset(0, "UA3AAA"), 1);
    EXPECT_EQ(dll.Reset(0, "UA3AAA"), 1);
    ASSERT_TRUE(WaitForFile("checker-starts.txt", "started\n"));
    {
        StatsDll reloaded; // a second reference: no new load, no new start
        EXPECT_EQ(reloaded.Reset(0, "UA3AAA"), 1);
    }
    Sleep(2000);
    EXPECT_EQ(ReadFileBytes("checker-starts.txt"), "started\n");
}

TEST_F(ExportsTest, CheckerStartsAgainAfterAReload) {
    CreateDirectoryA("Plugins", nullptr);
    const std::string checker = HostFolder() + "\\fake_checker.exe";
    ASSERT_TRUE(CopyFileA(checker.c_str(), "Plugins\\Ext_kestrun.exe", FALSE));
    EXPECT_EQ(ReadFileBytes("checker-starts.txt"), "<missing>"); // loading starts nothing
    dll.Reset(0, "UA3AAA");
    ASSERT_TRUE(WaitForFile("checker-starts.txt", "started\n"));
    dll.Reload();
    dll.Reset(0, "UA3AAA");
    EXPECT_TRUE(WaitForFile("checker-starts.txt", "started\nstarted\n"));
}

TEST_F(ExportsTest, ResetWithoutCheckerOrReportModeReturnsOneAndEmptiesTheLog) {
    EXPECT_EQ(dll.Reset(0, "UA3AAA"), 1);
    EXPECT_EQ(dll.Add(HostQso()), 1);
    int result = 0;
    EXPECT_NE(dll.Result(&result).find("80m\t 1\t 9\t 1\t 0\r\n"), std::string::npos);
    EXPECT_EQ(dll.Reset(0, "UA3AAA"), 1);
    EXPECT_EQ(dll.Result(&result), "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\nTotal\t 0\t 0\t 0\t 0\r\n"
                                   "Score\t 0\r\n");
}

TEST_F(ExportsTest, NullPointersAreEmptyTexts) {
    EXPECT_EQ(dll.ResetStats0(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0,
                              0, 0, 0, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(ReadFileBytes("-ubn.txt"), "Kestrun TEST UBN file \r\n\r\n");
    const char* e = "";
    EXPECT_EQ(dll.AddData0(e, "DL1ABC", nullptr, nullptr, nullptr, nullptr, 0, 0, "CW", e, e, "1",
                           "2", e, e, e, e, e, e, e, e, e, nullptr, 0, 0, 0, 0, 0, e, nullptr, e,
                           nullptr, e),
              1);
    EXPECT_EQ(dll.AddData0(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0,
                           nullptr, nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(dll.CheckCall0(nullptr, 0, 0, nullptr, e, e, e, e, e, e, e, e, e, e, 0, 0, 0, 0, 0, e,
                             e, e, e, e, e, e, nullptr, nullptr),
              2);
    EXPECT_NE(dll.GetResult0(nullptr), nullptr);
}

// What a message box of this process shows.
struct FoundBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    int buttons = 0;
    bool icon = false;
};

BOOL CALLBACK InspectChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<FoundBox*>(param);
    char cls[64];
    GetClassNameA(child, cls, sizeof cls);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) {
        ++box->buttons;
    } else if (lstrcmpiA(cls, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            // The box's template always holds an icon control; it shows only with an icon.
            box->icon = box->icon || (IsWindowVisible(child) &&
                                      SendMessageA(child, STM_GETICON, 0, 0) != 0);
        } else {
            char text[256];
            GetWindowTextA(child, text, sizeof text);
            if (text[0] != '\0') {
                box->text = text;
            }
        }
    }
    return TRUE;
}

FoundBox WaitForMessageBox() {
    FoundBox box;
    box.window = WaitForOwnDialog(nullptr);
    if (box.window != nullptr) {
        char caption[256];
        GetWindowTextA(box.window, caption, sizeof caption);
        box.caption = caption;
        EnumChildWindows(box.window, InspectChild, reinterpret_cast<LPARAM>(&box));
    }
    return box;
}

TEST(SetupBox, SaysThereIsNothingToSetUpAndWaitsForOk) {
    ScopedTempDir dir;
    StatsDll dll;
    FoundBox box;
    {
        Watcher user([&] {
            box = WaitForMessageBox();
            if (box.window != nullptr) {
                PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
        });
        dll.SetupSet0(); // returns only once the box is closed
    }
    ASSERT_NE(box.window, nullptr) << "no message box appeared";
    EXPECT_EQ(box.text, "No additional setup for this contest");
    EXPECT_NE(box.caption, box.text);
    EXPECT_FALSE(box.caption.empty()); // the platform's default title
    EXPECT_EQ(box.buttons, 1);
    EXPECT_FALSE(box.icon);
    EXPECT_FALSE(IsWindow(box.window));
}

} // namespace
} // namespace stats::testing
