#include <gtest/gtest.h>

#include "report/replace_all.h"
#include "report/station_profile.h"
#include "tests/support/fake_platform.h"

namespace stats {
namespace {

TEST(ReplaceAll, LeftToRightWithoutRescanning) {
    int count = -7;
    EXPECT_EQ(ReplaceAll("abc", "b", "b", &count), "abc");
    EXPECT_EQ(count, -7); // not written when search equals replacement
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b", &count), "ba");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ReplaceAll("aa", "a", "aa", &count), "aaaa");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ReplaceAll("xyz", "q", "r", &count), "xyz");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ReplaceAll("", "q", "r"), "");
    EXPECT_EQ(ReplaceAll("a<CR><LF>b", "<CR>", "\r"), "a\r<LF>b");
}

TEST(StationProfile, FileBaseFromTheHostCallsign) {
    EXPECT_EQ(FileBaseFor("UA3ABC/P"), "UA3ABC_P");
    EXPECT_EQ(FileBaseFor("UA3ABC\\P"), "UA3ABC_P");
    EXPECT_EQ(FileBaseFor("  UA3ABC  "), "UA3ABC");
    EXPECT_EQ(FileBaseFor("\t\r\n\v\f UA3 ABC \n"), "UA3 ABC");
    EXPECT_EQ(FileBaseFor(""), "ULMAK");
    EXPECT_EQ(FileBaseFor(" \t "), "ULMAK");
    EXPECT_EQ(FileBaseFor("\xA0R1\xA0"), "\xA0R1\xA0"); // bytes above 127 are not blanks
}

TEST(StationProfile, EscapingRoundTripsAndHeaderForm) {
    const std::string typed = "Main St 1\r\nTown";
    EXPECT_EQ(EscapeLineBreaks(typed), "Main St 1<CR><LF>Town");
    EXPECT_EQ(UnescapeLineBreaks(EscapeLineBreaks(typed)), typed);
    EXPECT_EQ(HeaderForm(EscapeLineBreaks(typed), "ADDRESS: "), "Main St 1\r\nADDRESS: Town");
    EXPECT_EQ(HeaderForm("a<LF>b", "X: "), "ab");
}

class EditStationDetailsTest : public ::testing::Test {
  protected:
    int Edit(const std::string& call) {
        return EditStationDetails(profile, call, settings, dialog);
    }
    const std::string* Stored(const char* key) {
        return settings.Find(kSettingsFile, kSettingsSection, key);
    }
    StationProfile profile;
    testing::FakeSettingsStore settings;
    testing::FakeStationDialog dialog;
};

TEST_F(EditStationDetailsTest, WithoutSettingsTheDialogOpensWithTheDefaults) {
    dialog.respond = [](StationDialogFields&) { return kDialogCancel; };
    EXPECT_EQ(Edit("UA3AAA"), 0);
    ASSERT_EQ(dialog.opened.size(), 1u);
    const StationDialogFields& f = dialog.opened[0];
    EXPECT_EQ(f.callsign, "UA3AAA");
    EXPECT_EQ(f.operators, "UA3AAA");
    EXPECT_EQ(f.contest, "VELMORA");
    EXPECT_EQ(f.category, kStartingCategory);
    for (const std::string* empty : {&f.name, &f.address, &f.claimed, &f.email, &f.club, &f.soapbox}) {
        EXPECT_EQ(*empty, "");
    }
    EXPECT_TRUE(settings.files.empty()); // Cancel writes nothing
}

TEST_F(EditStationDetailsTest, OkStoresEscapedValuesAndLeavesHeaderForm) {
    settings.Set(kSettingsFile, kSettingsSection, "Claimed", "38");
    dialog.respond = [](StationDialogFields& f) {
        f.callsign = "UA3AAA/P";
        f.name = "Ivan";
        f.address = "A\r\nB";
        f.soapbox = "one\r\ntwo\r\nthree";
        f.claimed = "9999";
        f.category = "KOLL";
        f.contest = "OTHER";
        f.email = "a@b";
        f.club = "C";
        f.operators = "UA3AAA UA3BBB";
        return kDialogOk;
    };
    profile.cabrilloLines = {"old\r\n"};
    EXPECT_EQ(Edit("UA3AAA"), 1);
    EXPECT_EQ(dialog.opened[0].claimed, "38");
    EXPECT_EQ(*Stored("Address"), "A<CR><LF>B");
    EXPECT_EQ(*Stored("SoapBox"), "one<CR><LF>two<CR><LF>three");
    EXPECT_EQ(*Stored("Claimed"), "38"); // an edit of the claimed score is dropped
    EXPECT_EQ(*Stored("Category"), "KOLL");
    EXPECT_EQ(*Stored("Contest"), "OTHER");
    EXPECT_EQ(settings.writtenKeys, (std::vector<std::string>{"Operators", "Name", "Address", "Category",
                                                              "Contest", "Email", "Club", "SoapBox"}));
    EXPECT_EQ(profile.callsign, "UA3AAA/P");
    EXPECT_EQ(profile.fileBase, "UA3AAA"); // from the host's call, not the edited one
    EXPECT_EQ(profile.address, "A\r\nADDRESS: B");
    EXPECT_EQ(profile.soapbox, "one\r\nSOAPBOX: two\r\nSOAPBOX: three");
    EXPECT_EQ(profile.claimed, "38");
    EXPECT_TRUE(profile.cabrilloLines.empty());

    // The next round trip shows the stored lines again, and starts the
    // category and contest anew.
    dialog.respond = [](StationDialogFields&) { return kDialogCancel; };
    EXPECT_EQ(Edit("UA3AAA"), 0);
    EXPECT_EQ(dialog.opened[1].address, "A\r\nB");
    EXPECT_EQ(dialog.opened[1].category, kStartingCategory);
    EXPECT_EQ(dialog.opened[1].contest, "VELMORA");
    EXPECT_EQ(dialog.opened[1].operators, "UA3AAA UA3BBB");
}

TEST_F(EditStationDetailsTest, CancelLoadsTheStoredDetailsInHeaderForm) {
    settings.Set(kSettingsFile, kSettingsSection, "Address", "A<CR><LF>B");
    settings.Set(kSettingsFile, kSettingsSection, "Name", "Ivan");
    dialog.respond = [](StationDialogFields& f) {
        f.name = "typed but cancelled";
        return kDialogCancel;
    };
    profile.cabrilloLines = {"kept\r\n"};
    EXPECT_EQ(Edit(" UA3AAA "), 0);
    EXPECT_EQ(profile.callsign, " UA3AAA ");
    EXPECT_EQ(profile.fileBase, "UA3AAA");
    EXPECT_EQ(profile.name, "Ivan");
    EXPECT_EQ(profile.address, "A\r\nADDRESS: B");
    EXPECT_EQ(profile.category, kStartingCategory);
    EXPECT_EQ(settings.writtenKeys.size(), 0u);
    EXPECT_EQ(profile.cabrilloLines.size(), 1u);
}

TEST_F(EditStationDetailsTest, FailedDialogCountsAsCancel) {
    dialog.respond = [](StationDialogFields&) { return kDialogFailed; };
    EXPECT_EQ(Edit("R1"), 0);
    EXPECT_EQ(settings.writtenKeys.size(), 0u);
}

} // namespace
} // namespace stats
