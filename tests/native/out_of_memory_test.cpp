// Every export when memory runs out part-way through it: each allocation of
// the call is made to fail in turn (once, and from there on for good). The
// export must answer its refusal or neutral result, leave the log as it was,
// and the module must go on working afterwards: its indexes, files and
// station details must not be left half-changed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "log/round.h"
#include "plugin/stats_exports.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/host_calls.h"
#include "tests/support/native_module.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::CallCheck;
using testing::CallQsoExport;
using testing::CallReset;
using testing::HostQso;
using testing::OleTime;

std::vector<QsoRecord> LogRecords() {
    return std::vector<QsoRecord>(TheModule().Log().begin(), TheModule().Log().end());
}

std::vector<std::string> BandNames() {
    return std::vector<std::string>(TheModule().Bands().begin(), TheModule().Bands().end());
}

std::size_t OpenFileCount() {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

std::vector<std::string> FilesHere() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

HostQso Qso(const std::string& call, const std::string& mode, const std::string& band, int minute) {
    HostQso q;
    q.workedCall = call;
    q.mode = mode;
    q.band = band;
    q.time = OleTime(2012, 9, 12, 10, minute);
    return q;
}

// The log every case starts from: two records of one call, mode and band
// (so removal has an earlier and a later one), one on another band, one of a
// foreign station.
void FillLog() {
    CallQsoExport(&AddData0, Qso("RA3ABC", "CW", "80m", 5));
    CallQsoExport(&AddData0, Qso("RA3ABC", "CW", "40m", 6));
    HostQso foreign = Qso("DL1ABC", "SSB", "80m", 7);
    foreign.countryPrefix = "DL";
    CallQsoExport(&AddData0, foreign);
    CallQsoExport(&AddData0, Qso("RA3ABC", "CW", "80m", 12));
}

// The log goes on working through the exports: another QSO and `again` (the
// QSO of the call that ran out of memory) can be added, every stored record is
// found by the round check and removed by its call, mode and band (always the
// earliest match), and a new QSO can be stored and found afterwards.
void ExpectLogWorks(const HostQso& again) {
    CallQsoExport(&AddData0, Qso("RA3ABE", "SSB", "15m", 11));
    CallQsoExport(&AddData0, again);
    std::vector<QsoRecord> expected = LogRecords();
    char warning[300];
    while (!expected.empty()) {
        const QsoRecord last = expected.back();
        CivilTime now;
        if (ToCivilTime(last.time, now) && RoundOf(now) != kNoRound) {
            testing::TheFakePlatform().clock.now = now;
            EXPECT_EQ(CallCheck(&CheckCall0, last.call, last.mode, nullptr, warning), 4)
                << last.call;
        }
        HostQso remove;
        remove.workedCall = last.call;
        remove.mode = last.mode;
        remove.band = last.band;
        ASSERT_EQ(CallQsoExport(&RemoveData0, remove), 1);
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            if (it->call == last.call && it->mode == last.mode && it->band == last.band) {
                expected.erase(it);
                break;
            }
        }
        ASSERT_EQ(LogRecords(), expected);
    }
    testing::TheFakePlatform().clock.now = {2012, 9, 12, 10, 15, 0};
    EXPECT_EQ(CallCheck(&CheckCall0, "RA3ABC", "CW", nullptr, warning), 2);
    ASSERT_EQ(CallQsoExport(&AddData0, Qso("RA3XYZ", "CW", "20m", 14)), 1);
    EXPECT_EQ(LogRecords().size(), 1u);
    EXPECT_EQ(CallCheck(&CheckCall0, "RA3XYZ", "CW", nullptr, warning), 4);
}

// Runs `call` with the n-th allocation failing, for n = 0, 1, ... until a run
// gets through without the failure; `prepare` builds the state before each
// run and `check` judges it (failed: whether an allocation failed).
void ForEachFailurePoint(bool persistent, const std::function<void()>& prepare,
                         const std::function<void()>& call,
                         const std::function<void(bool failed)>& check) {
    for (std::size_t n = 0;; ++n) {
        ASSERT_LT(n, 10000u) << "the call never got through";
        prepare();
        bool failed;
        {
            testing::ScopedAllocationFailure failure(n, persistent);
            call();
            failed = failure.Stop();
        }
        SCOPED_TRACE(::testing::Message() << "allocation " << n << (persistent ? " on" : ""));
        check(failed);
        if (::testing::Test::HasFatalFailure() || !failed) {
            return;
        }
    }
}

class OutOfMemoryTest : public ::testing::TestWithParam<bool> {
  protected:
    void TearDown() override { testing::ReloadModule(); }
    bool persistent() const { return GetParam(); }
    // A fresh load with a pass under way and the log filled.
    void FreshPass(int reportMode = 0) {
        testing::ReloadModule();
        testing::TheFakePlatform().dialog.respond = [](StationDialogFields& f) {
            f.address = "Street 1\r\nTown";
            return kDialogOk;
        };
        CallReset(&ResetStats0, reportMode, "UA3AAA");
        FillLog();
    }
    testing::ScopedTempDir dir;
};

TEST_P(OutOfMemoryTest, AddDataRefusesAndKeepsTheLog) {
    HostQso noRegion = Qso("UA9VAA", "CW", "10m", 8);
    noRegion.countryPrefix = "UA9";
    struct Case {
        const char* label;
        HostQso qso;
        int result; // with memory enough
        bool stored;
    };
    const Case cases[] = {
        {"new band", Qso("RA3ABD", "CW", "20m", 8), 1, true},
        {"call, mode and band held", Qso("RA3ABC", "CW", "80m", 13), 1, true},
        {"same round held", Qso("RA3ABC", "CW", "15m", 14), 1, true},
        {"already held", Qso("RA3ABC", "CW", "80m", 5), 1, false},
        {"foreign mode", Qso("RA3ABD", "RTTY", "20m", 8), 0, false},
        {"no region", noRegion, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<QsoRecord> before;
        std::vector<std::string> bandsBefore;
        int result = -1;
        ForEachFailurePoint(
            persistent(),
            [&] {
                FreshPass();
                before = LogRecords();
                bandsBefore = BandNames();
            },
            [&] { result = CallQsoExport(&AddData0, c.qso); },
            [&](bool failed) {
                std::vector<std::string> bandsAdded = bandsBefore;
                if (std::find(bandsAdded.begin(), bandsAdded.end(), c.qso.band) ==
                    bandsAdded.end()) {
                    bandsAdded.push_back(c.qso.band);
                }
                if (failed) {
                    EXPECT_EQ(result, 0);
                    EXPECT_EQ(LogRecords(), before);
                    // The band may have been entered before memory ran out.
                    EXPECT_TRUE(BandNames() == bandsBefore || BandNames() == bandsAdded);
                } else {
                    EXPECT_EQ(result, c.result);
                    EXPECT_EQ(LogRecords().size(), before.size() + (c.stored ? 1 : 0));
                }
                ExpectLogWorks(c.qso);
            });
    }
}

TEST_P(OutOfMemoryTest, RemoveDataRefusesAndKeepsTheLog) {
    struct Case {
        const char* label;
        HostQso qso;
        std::size_t removed;
    };
    const Case cases[] = {
        {"earlier of two", Qso("RA3ABC", "CW", "80m", 30), 1},
        {"only one", Qso("DL1ABC", "SSB", "80m", 30), 1},
        {"none", Qso("RA3ABC", "SSB", "80m", 30), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<QsoRecord> before;
        int result = -1;
        ForEachFailurePoint(
            persistent(),
            [&] {
                FreshPass();
                before = LogRecords();
            },
            [&] { result = CallQsoExport(&RemoveData0, c.qso); },
            [&](bool failed) {
                if (failed) {
                    EXPECT_EQ(result, 0);
                    EXPECT_EQ(LogRecords(), before);
                } else {
                    EXPECT_EQ(result, 1);
                    EXPECT_EQ(LogRecords().size(), before.size() - c.removed);
                }
                ExpectLogWorks(c.qso);
            });
    }
}

TEST_P(OutOfMemoryTest, CheckCallAnswersNoRepeatAndLeavesTheBuffers) {
    char spare[64];
    char warning[256];
    int result = -1;
    ForEachFailurePoint(
        persistent(),
        [&] {
            FreshPass();
            testing::TheFakePlatform().clock.now = {2012, 9, 12, 10, 15, 0};
            std::memset(spare, 'S', sizeof spare);
            std::memset(warning, 'W', sizeof warning);
        },
        [&] { result = CallCheck(&CheckCall0, "RA3ABC", "CW", spare, warning); },
        [&](bool failed) {
            EXPECT_EQ(std::string(spare, sizeof spare), std::string(sizeof spare, 'S'));
            if (failed) {
                EXPECT_EQ(result, 2);
                EXPECT_EQ(std::string(warning, sizeof warning), std::string(sizeof warning, 'W'));
            } else {
                EXPECT_EQ(result, 4);
                EXPECT_EQ(std::string(warning).substr(0, 13), "QSO c RA3ABC ");
            }
        });
}

TEST_P(OutOfMemoryTest, GetResultGivesAnEmptyTextAndKeepsTheCabrilloFileWhole) {
    for (int reportMode : {0, 1}) {
        SCOPED_TRACE(reportMode);
        std::string cabrilloBefore;
        std::vector<std::string> filesBefore;
        std::size_t openBefore = 0;
        const char* text = nullptr;
        int score = 0;
        ForEachFailurePoint(
            persistent(),
            [&] {
                FreshPass(reportMode);
                GetResult0(&score); // an earlier report's file
                CallQsoExport(&AddData0, Qso("RA3ABD", "SSB", "20m", 9));
                cabrilloBefore = testing::ReadFileBytes("UA3AAA.cbr");
                filesBefore = FilesHere();
                openBefore = OpenFileCount();
                score = 12345;
            },
            [&] { text = GetResult0(&score); },
            [&](bool failed) {
                EXPECT_EQ(OpenFileCount(), openBefore);
                EXPECT_EQ(FilesHere(), filesBefore); // no temporary file left behind
                const std::string cabrillo = testing::ReadFileBytes("UA3AAA.cbr");
                if (failed) {
                    EXPECT_STREQ(text, "");
                    EXPECT_TRUE(score == 12345 || score == 34 || score == -1) << score;
                } else {
                    EXPECT_NE(std::strstr(text, "Score\t 34\r\n"), nullptr) << text;
                    EXPECT_EQ(score, reportMode != 0 ? -1 : 34);
                }
                if (reportMode != 0 && cabrillo != cabrilloBefore) {
                    // A new file only ever replaces the old one whole.
                    EXPECT_EQ(cabrillo.rfind("START-OF-LOG: 2.0\r\n", 0), 0u);
                    EXPECT_NE(cabrillo.find("RA3ABD"), std::string::npos);
                    EXPECT_EQ(cabrillo.substr(cabrillo.size() - 13), "END-OF-LOG:\r\n");
                }
                int again = 0;
                EXPECT_NE(std::strstr(GetResult0(&again), "Score\t 34\r\n"), nullptr);
            });
    }
}

TEST_P(OutOfMemoryTest, ResetStatsStillStartsAnEmptyPass) {
    struct Case {
        const char* label;
        bool earlierPass;
        int reportMode;
    };
    const Case cases[] = {
        {"first reset of the load", false, 0},
        {"first reset in report mode", false, 1},
        {"later reset", true, 0},
        {"later reset in report mode", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        int result = 0;
        std::string oldUbn;
        ForEachFailurePoint(
            persistent(),
            [&] {
                testing::ReloadModule();
                testing::TheFakePlatform().dialog.respond = [](StationDialogFields& f) {
                    f.address = "Street 1\r\nTown";
                    f.soapbox = "line 1\r\nline 2";
                    return kDialogOk;
                };
                if (c.earlierPass) {
                    CallReset(&ResetStats0, 0, "UA3OLD");
                }
                FillLog();
                oldUbn = testing::ReadFileBytes("UA3OLD-ubn.txt");
                std::remove("UA3NEW-ubn.txt");
            },
            [&] { result = CallReset(&ResetStats0, c.reportMode, "UA3NEW"); },
            [&](bool failed) {
                EXPECT_EQ(result, 1);
                EXPECT_TRUE(LogRecords().empty());
                EXPECT_TRUE(BandNames().empty());
                EXPECT_EQ(TheModule().ReportMode(), c.reportMode);
                EXPECT_LE(testing::TheFakePlatform().launcher.started.size(), 1u);
                // The station details are all the earlier ones (none) or all
                // the new ones, never some of each.
                const StationProfile& p = TheModule().Profile();
                const bool updated = p.callsign == "UA3NEW";
                EXPECT_TRUE(updated || p.callsign.empty()) << p.callsign;
                EXPECT_EQ(p.fileBase, updated ? "UA3NEW" : "");
                EXPECT_EQ(p.address, updated ? "Street 1\r\nADDRESS: Town" : "");
                EXPECT_EQ(p.soapbox, updated ? "line 1\r\nSOAPBOX: line 2" : "");
                if (!failed) {
                    EXPECT_EQ(updated, c.reportMode != 0);
                }
                // A QSO refused in the new pass never lands in the old pass's file.
                CallQsoExport(&AddData0, Qso("RA3ABD", "RTTY", "20m", 9));
                EXPECT_EQ(testing::ReadFileBytes("UA3OLD-ubn.txt"), oldUbn);
                // The new pass's file has its header, or there is none.
                const std::string ubn = testing::ReadFileBytes("UA3NEW-ubn.txt");
                if (!failed || ubn != "<missing>") {
                    EXPECT_EQ(ubn.rfind("Kestrun TEST UBN file UA3NEW\n\n", 0), 0u) << ubn;
                }
                FillLog();
                ExpectLogWorks(Qso("RA3ABC", "CW", "80m", 20));
                CallReset(&ResetStats0, 0, "UA3NEW");
                EXPECT_LE(testing::TheFakePlatform().launcher.started.size(), 1u);
            });
    }
}

TEST_P(OutOfMemoryTest, SetupSetReturns) {
    ForEachFailurePoint(
        persistent(), [] { testing::ReloadModule(); }, [] { SetupSet0(); },
        [](bool) { EXPECT_LE(testing::TheFakePlatform().messages.shown.size(), 1u); });
}

TEST_P(OutOfMemoryTest, SmallExportsNeedNoMemory) {
    int counts[4] = {};
    const char* names[2] = {};
    ForEachFailurePoint(
        persistent(), [] {},
        [&] {
            counts[0] = GetNumberOfSets();
            counts[1] = GetExchgCount0("a", "b", "c");
            counts[2] = IsValidExchg0("00123", "a", "b", "c", 1, 2, 0);
            counts[3] = IsValidExchg0("0012", "a", "b", "c", 1, 2, 0);
            names[0] = GetSetName(0);
            names[1] = GetSetName(3);
        },
        [&](bool failed) {
            EXPECT_FALSE(failed);
            EXPECT_EQ(std::vector<int>(counts, counts + 4), (std::vector<int>{1, 1, 1, 0}));
            EXPECT_STREQ(names[0], "Velmora");
            EXPECT_STREQ(names[1], "");
        });
}

INSTANTIATE_TEST_SUITE_P(Allocation, OutOfMemoryTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "FromThereOn" : "Once";
                         });

} // namespace
} // namespace stats
