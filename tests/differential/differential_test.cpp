// Seeded random call sequences, run through the module and through the plain
// reference model side by side. Each side works over fakes of its own, with
// its files in memory; after every call the results must agree, and so must
// the summary texts, the settings, the dialog's fields and every byte of
// every file either side wrote.
//
// STATS_DIFF_SEQUENCES and STATS_DIFF_FIRST_SEED widen or move the run.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/reference/reference_module.h"
#include "log/qso_entry.h"
#include "plugin/stats_module.h"
#include "tests/differential/memory_file_system.h"
#include "tests/support/fake_platform.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::HostQso;
using testing::OleTime;
using testing::Visible;

// ---- What the sequences are made of: small pools, so that things collide.

const std::vector<std::string> kOwnCalls = {"UA3AAA", "UA3AAA", "UA3AAA/P",   "R9\\X",
                                            " UA1X ", "",       "UA3\xC0\xC1"};

const std::vector<std::string> kCalls = {"RA3ABC",
                                         "RA3ABC",
                                         "RA3ABC",
                                         "ra3abc",
                                         "RA3ABC ",
                                         "R3AB",
                                         "UA9XYZ",
                                         "RA1AA",
                                         "DL1ABC",
                                         "RZ",
                                         "R",
                                         "",
                                         "RA0ZZZ",
                                         "RW6HS",
                                         "RQ8QQ",
                                         "\xD0\xC0"
                                         "3A",
                                         "UA3AAA/P",
                                         "R3" + std::string(300, 'A')};

const std::vector<std::string> kBands = {"160m",
                                         "80m",
                                         "80m",
                                         "40m",
                                         "20m",
                                         "15m",
                                         "10m",
                                         "2m",
                                         "0160m",
                                         "160M",
                                         "",
                                         "80m ",
                                         "a band name of more than twenty bytes",
                                         "0000000000000000160m",
                                         "00000000000000000160m"};

const std::vector<std::string> kModes = {"CW",     "CW",     "CW", "CW",  "SSB",  "SSB", "SSB",
                                         "BPSK63", "BPSK62", "cw", "CW ", "RTTY", ""};
const std::vector<std::string> kPrefixes = {"UA", "UA", "UA9", "UA2", "DL", "", "ua", "UA3"};
const std::vector<std::string> kExchanges = {"00101", "00202", "12345", "00101", "00101",
                                             "00202", "",      "5",     "  "};
const std::vector<std::string> kReports = {"599", "599", "59", "", "5NN"};
const std::vector<std::string> kAuxTexts = {"", "", "x", "CQ WW"};
const std::vector<unsigned int> kFrequencies = {3550000, 3550999,  999,         0,
                                                1810000, 14025000, 4294967295u, 28500500};

double Seconds(double s) {
    return s / 86400.0;
}

const std::vector<COleDateTime> kTimes = {
    OleTime(2012, 9, 12, 10, 5, 0),
    OleTime(2012, 9, 12, 10, 5, 0),
    OleTime(2012, 9, 12, 10, 6, 30),
    OleTime(2012, 9, 12, 10, 19, 59),
    COleDateTime(OleTime(2012, 9, 12, 10, 19, 59).m_dt + Seconds(0.6), COleDateTime::valid),
    OleTime(2012, 9, 12, 10, 20, 0),
    OleTime(2012, 9, 12, 10, 45, 0),
    OleTime(2012, 9, 12, 10, 58, 59),
    OleTime(2012, 9, 12, 10, 59, 0),
    COleDateTime(OleTime(2012, 9, 12, 10, 59, 59).m_dt + Seconds(0.7), COleDateTime::valid),
    OleTime(2012, 9, 12, 11, 0, 0),
    OleTime(2012, 9, 12, 9, 5, 7),
    OleTime(2012, 9, 12, 0, 0, 0),
    OleTime(2012, 9, 11, 10, 5, 0),
    COleDateTime(OleTime(2012, 9, 12, 10, 5, 0).m_dt, COleDateTime::invalid),
    COleDateTime(12345.678, COleDateTime::invalid),
    COleDateTime(1.5, COleDateTime::null),
    COleDateTime(-1.25, COleDateTime::valid),
    COleDateTime(0.0, COleDateTime::valid),
    COleDateTime(-0.0, COleDateTime::valid),
    COleDateTime(std::numeric_limits<double>::quiet_NaN(), COleDateTime::valid),
    COleDateTime(1e7, COleDateTime::valid),
};

const std::vector<CivilTime> kClockTimes = {
    {2012, 9, 12, 10, 15, 0}, {2012, 9, 12, 10, 15, 0}, {2012, 9, 12, 10, 25, 0},
    {2012, 9, 12, 10, 45, 0}, {2012, 9, 12, 10, 59, 0}, {2012, 9, 12, 10, 20, 0},
    {2012, 9, 11, 10, 15, 0}, {2012, 9, 12, 11, 0, 0},  {2012, 9, 12, 0, 0, 0},
    {2012, 9, 12, 9, 5, 0},   {1899, 12, 30, 0, 5, 0},  {1899, 12, 29, 6, 0, 0},
};

// Station details as a previous session may have left them.
const std::vector<std::map<std::string, std::string>> kStoredSettings = {
    {},
    {{"Address", "Main St 1<CR><LF>Town"},
     {"SoapBox", "Good<CR><LF>conditions"},
     {"Operators", "UA3AAA UA3BBB"},
     {"Name", "Ivan"},
     {"Claimed", "77"}},
    {{"Club", "CC"}, {"Email", "a@b.c"}, {"Address", "One line"}},
};

const std::vector<std::string> kTemplates = {"", "X-TEMPLATE: 1\r\n", "NO-LINE-END",
                                             std::string("A\0B\r\n", 5)};

std::string Describe(const HostQso& q) {
    std::ostringstream out;
    out << "own=" << q.ownCall << "|call=" << q.workedCall << "|t=" << q.time.m_dt << "/"
        << q.time.m_status << "|f=" << q.freqHz << "|mode=" << q.mode << "|rst=" << q.rstSent << "/"
        << q.rstRcvd << "|exch=" << q.exchSent << "/" << q.exchRcvd << "|pfx=" << q.countryPrefix
        << "|aux=" << q.auxText << "|band=" << q.band;
    return Visible(out.str());
}

QsoReport ToReport(const HostQso& q) {
    QsoReport r;
    r.ownCall = q.ownCall;
    r.workedCall = q.workedCall;
    r.qsoTime = q.time;
    r.freqHz = q.freqHz;
    r.mode = q.mode;
    r.rstSent = q.rstSent;
    r.rstRcvd = q.rstRcvd;
    r.exchSent = q.exchSent;
    r.exchRcvd = q.exchRcvd;
    r.countryPrefix = q.countryPrefix;
    r.auxText = q.auxText;
    r.band = q.band;
    return r;
}

bool SameFields(const StationDialogFields& a, const StationDialogFields& b) {
    return a.callsign == b.callsign && a.claimed == b.claimed && a.club == b.club &&
           a.category == b.category && a.contest == b.contest && a.email == b.email &&
           a.name == b.name && a.operators == b.operators && a.soapbox == b.soapbox &&
           a.address == b.address;
}

// How often the sequences reached the paths that matter, so that a generator
// that stops reaching them shows.
struct Reached {
    int repeatsWarned = 0;
    int recordsRemoved = 0;
    int duplicatesHeld = 0;
    int refusedWithLine = 0;
    int refusedForRegion = 0;
    int reportsWritten = 0;
    int bandsAfterSort = 0;
    int tiedBands = 0;
};

class Sequence {
  public:
    Sequence(unsigned seed, Reached& reached) : rng_(seed), reached_(reached) {
        module_ = std::make_unique<StatsModule>(Over(moduleFakes_, moduleFiles_));
        reference_ =
            std::make_unique<reference::ReferenceModule>(Over(referenceFakes_, referenceFiles_));
        const auto& stored = kStoredSettings[Pick(kStoredSettings.size())];
        for (testing::FakeSettingsStore* s : {&moduleFakes_.settings, &referenceFakes_.settings}) {
            for (const auto& [key, value] : stored) {
                s->Set("Plugins\\ULMAK.ini", "Settings", key, value);
            }
        }
        if (Chance(0.5)) {
            const std::string& t = kTemplates[Pick(kTemplates.size())];
            moduleFiles_.Put("cabrillo.ini", t);
            referenceFiles_.Put("cabrillo.ini", t);
        }
    }

    // Runs `steps` random calls; false at the first difference.
    bool Run(int steps) {
        if (Chance(0.9) && !Reset()) {
            return false;
        }
        for (int i = 0; i < steps; ++i) {
            const double r = Uniform();
            bool same;
            if (r < 0.45) {
                same = Add();
            } else if (r < 0.60) {
                same = Remove();
            } else if (r < 0.78) {
                same = Check();
            } else if (r < 0.94) {
                same = Result();
            } else {
                same = Reset();
            }
            if (!same) {
                return false;
            }
        }
        return Result() && SameSurroundings(true);
    }

    std::string Trail() const {
        std::string all;
        for (const std::string& step : trail_) {
            all += "  " + step + "\n";
        }
        return all;
    }

  private:
    static Platform Over(testing::FakePlatform& fakes, FileSystem& files) {
        return Platform{fakes.settings, fakes.clock,  fakes.launcher,
                        fakes.messages, fakes.dialog, files};
    }

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }
    double Uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); }
    bool Chance(double p) { return Uniform() < p; }
    template <typename T> const T& From(const std::vector<T>& pool) {
        return pool[Pick(pool.size())];
    }

    bool Differ(const std::string& what) {
        ADD_FAILURE() << what << "\nafter these calls:\n" << Trail();
        return false;
    }

    // Everything outside the results: settings, dialog, checker and, when
    // asked, every file. Files change only at a reset, at a refusal (a line
    // that stays in the file until the pass ends) and at a report, so they
    // are compared before each reset, after each report and at the end.
    bool SameSurroundings(bool files) {
        const auto& m = moduleFakes_;
        const auto& r = referenceFakes_;
        if (m.settings.files != r.settings.files ||
            m.settings.writtenKeys != r.settings.writtenKeys) {
            std::string values;
            for (const auto* side : {&m.settings, &r.settings}) {
                values += side == &m.settings ? "--- module:\n" : "--- reference:\n";
                for (const auto& [file, keys] : side->files) {
                    for (const auto& [key, value] : keys) {
                        values += Visible(file + " " + key + " = " + value) + "\n";
                    }
                }
            }
            return Differ("settings differ:\n" + values);
        }
        if (m.launcher.started != r.launcher.started) {
            return Differ("checker starts differ");
        }
        if (m.dialog.opened.size() != r.dialog.opened.size()) {
            return Differ("dialog runs differ");
        }
        for (std::size_t i = 0; i < m.dialog.opened.size(); ++i) {
            if (!SameFields(m.dialog.opened[i], r.dialog.opened[i])) {
                return Differ("dialog opened with other fields");
            }
        }
        if (!files) {
            return true;
        }
        const auto mf = moduleFiles_.Contents();
        const auto rf = referenceFiles_.Contents();
        if (mf != rf) {
            std::string diff;
            for (const auto& [name, bytes] : mf) {
                const auto it = rf.find(name);
                if (it == rf.end()) {
                    diff += "only the module wrote " + name + "\n";
                } else if (it->second != bytes) {
                    diff += name + " differs\n--- module:\n" + Visible(bytes) +
                            "\n--- reference:\n" + Visible(it->second) + "\n";
                }
            }
            for (const auto& [name, bytes] : rf) {
                if (mf.count(name) == 0) {
                    diff += "only the reference wrote " + name + "\n";
                }
            }
            return Differ("files differ:\n" + diff);
        }
        return true;
    }

    HostQso FreshQso() {
        HostQso q;
        q.ownCall = From(kOwnCalls);
        q.workedCall = From(kCalls);
        q.time = From(kTimes);
        q.freqHz = From(kFrequencies);
        q.mode = From(kModes);
        q.rstSent = From(kReports);
        q.rstRcvd = From(kReports);
        q.exchSent = From(kExchanges);
        q.exchRcvd = From(kExchanges);
        q.countryPrefix = From(kPrefixes);
        q.auxText = From(kAuxTexts);
        q.band = From(kBands);
        return q;
    }

    // A QSO offered before, or one like it, or a new one.
    HostQso SomeQso() {
        if (!offered_.empty()) {
            const double r = Uniform();
            HostQso q = offered_[Pick(offered_.size())];
            if (r < 0.2) {
                return q;
            }
            if (r < 0.3) {
                q.time = From(kTimes);
                return q;
            }
            if (r < 0.35) {
                q.band = From(kBands);
                return q;
            }
        }
        return FreshQso();
    }

    bool Reset() {
        const int reportMode = From(std::vector<int>{0, 0, 1, 1, 5, -1});
        const std::string ownCall = From(kOwnCalls);
        const int answer =
            From(std::vector<int>{kDialogOk, kDialogOk, kDialogCancel, kDialogFailed});
        const std::string callsign = From(std::vector<std::string>{"", "RK3A", "UA3AAA/P"});
        const std::string address = From(std::vector<std::string>{
            "-", "", "Main St 1\r\nTown", "One\nTwo\rThree", "lit<CR>eral"});
        const std::string soapbox =
            From(std::vector<std::string>{"-", "", "Hi\r\nthere", "x<LF>y"});
        const std::string category = From(std::vector<std::string>{"-", "SINGLE-OP"});
        const auto respond = [=](StationDialogFields& f) {
            if (answer == kDialogOk) {
                if (!callsign.empty()) {
                    f.callsign = callsign;
                }
                if (address != "-") {
                    f.address = address;
                }
                if (soapbox != "-") {
                    f.soapbox = soapbox;
                }
                if (category != "-") {
                    f.category = category;
                }
                f.claimed = "999";
                f.operators += " UA3CCC";
            }
            return answer;
        };
        moduleFakes_.dialog.respond = respond;
        referenceFakes_.dialog.respond = respond;
        trail_.push_back("ResetStats0(" + std::to_string(reportMode) + ", " + Visible(ownCall) +
                         ") dialog " + std::to_string(answer));

        if (!SameSurroundings(true)) { // the previous pass's files, before they are truncated
            return false;
        }
        const int m = module_->ResetStats(reportMode, ownCall);
        const int r = reference_->ResetStats(reportMode, ownCall);
        if (m != r) {
            return Differ("ResetStats0 gave " + std::to_string(m) + " / " + std::to_string(r));
        }
        sorted_ = false;
        reportMode_ = reportMode;
        return SameSurroundings(false);
    }

    bool Add() {
        const HostQso q = SomeQso();
        offered_.push_back(q);
        trail_.push_back("AddData0 " + Describe(q));
        const std::size_t before = module_->Log().size();
        const bool bandWasNew = !module_->Bands().Contains(q.band);
        const int m = module_->AddData(ToReport(q));
        const int r = reference_->AddData(ToReport(q));
        if (m != r) {
            return Differ("AddData0 gave " + std::to_string(m) + " / " + std::to_string(r));
        }
        const bool stored = module_->Log().size() > before;
        reached_.duplicatesHeld += m == 1 && !stored;
        const bool lineDue = !IsContestMode(q.mode) || q.exchSent.empty() || q.exchRcvd.empty();
        reached_.refusedWithLine += m == 0 && lineDue;
        reached_.refusedForRegion += m == 0 && !lineDue;
        reached_.bandsAfterSort += sorted_ && bandWasNew && module_->Bands().Contains(q.band);
        return true;
    }

    bool Remove() {
        HostQso q = SomeQso();
        if (Chance(0.3)) {
            q.time = From(kTimes);
            q.freqHz = From(kFrequencies);
            q.rstSent = From(kReports);
        }
        if (Chance(0.1)) {
            q.exchSent = From(kExchanges);
            q.exchRcvd = From(kExchanges);
        }
        trail_.push_back("RemoveData0 " + Describe(q));
        const std::size_t before = module_->Log().size();
        const int m = module_->RemoveData(ToReport(q));
        const int r = reference_->RemoveData(ToReport(q));
        if (m != r) {
            return Differ("RemoveData0 gave " + std::to_string(m) + " / " + std::to_string(r));
        }
        reached_.recordsRemoved += module_->Log().size() < before;
        return true;
    }

    bool Check() {
        CivilTime now = From(kClockTimes);
        std::string call = From(kCalls);
        std::string mode = From(kModes);
        if (!offered_.empty() && Chance(0.7)) {
            // A station offered before, often in its own mode and near its time.
            const HostQso& q = offered_[Pick(offered_.size())];
            call = q.workedCall;
            if (Chance(0.7)) {
                mode = q.mode;
            }
            CivilTime t;
            if (Chance(0.7) && ToCivilTime(q.time, t)) {
                now = t;
                now.minute = std::min(59, t.minute + From(std::vector<int>{0, 0, 1, 5, 14, 20}));
            }
        }
        moduleFakes_.clock.now = now;
        referenceFakes_.clock.now = now;
        trail_.push_back("CheckCall0(" + Visible(call) + ", " + Visible(mode) + ") at " +
                         std::to_string(now.year) + "-" + std::to_string(now.month) + "-" +
                         std::to_string(now.day) + " " + std::to_string(now.hour) + ":" +
                         std::to_string(now.minute));
        std::vector<char> mWarning(400, '\x5A'), rWarning(400, '\x5A');
        const int m = module_->CheckCall(call, mode, mWarning.data());
        const int r = reference_->CheckCall(call, mode, rWarning.data());
        if (m != r) {
            return Differ("CheckCall0 gave " + std::to_string(m) + " / " + std::to_string(r));
        }
        if (mWarning != rWarning) {
            return Differ("warning differs:\n" + Visible(std::string(mWarning.data())) + "\n" +
                          Visible(std::string(rWarning.data())));
        }
        reached_.repeatsWarned += m == 4;
        return true;
    }

    bool Result() {
        trail_.push_back("GetResult0");
        int mResult = 0x5A5A5A5A;
        int rResult = 0x5A5A5A5A;
        const std::string m = module_->GetResult(&mResult);
        const std::string r = reference_->GetResult(&rResult);
        if (m != r) {
            return Differ("summaries differ:\n--- module:\n" + Visible(m) + "\n--- reference:\n" +
                          Visible(r));
        }
        if (mResult != rResult) {
            return Differ("*result " + std::to_string(mResult) + " / " + std::to_string(rResult));
        }
        sorted_ = true;
        reached_.reportsWritten += reportMode_ != 0;
        std::vector<std::string> keys;
        for (const std::string& band : module_->Bands()) {
            keys.push_back(BandKey(band));
        }
        std::sort(keys.begin(), keys.end());
        reached_.tiedBands += std::adjacent_find(keys.begin(), keys.end()) != keys.end();
        return SameSurroundings(reportMode_ != 0);
    }

    static std::string BandKey(const std::string& band) {
        return band.size() >= 20 ? band : std::string(20 - band.size(), '0') + band;
    }

    std::mt19937 rng_;
    Reached& reached_;
    // The modules go before the files they may still have open.
    testing::FakePlatform moduleFakes_;
    testing::MemoryFileSystem moduleFiles_;
    testing::FakePlatform referenceFakes_;
    testing::MemoryFileSystem referenceFiles_;
    std::unique_ptr<StatsModule> module_;
    std::unique_ptr<reference::ReferenceModule> reference_;
    std::vector<HostQso> offered_;
    std::vector<std::string> trail_;
    bool sorted_ = false;
    int reportMode_ = 0;
};

unsigned EnvOr(const char* name, unsigned fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0'
               ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
               : fallback;
}

TEST(Differential, ModuleAndReferenceAgreeOnRandomCallSequences) {
    const unsigned sequences = EnvOr("STATS_DIFF_SEQUENCES", 5000);
    const unsigned firstSeed = EnvOr("STATS_DIFF_FIRST_SEED", 1);
    Reached reached;
    int failures = 0;
    for (unsigned seed = firstSeed; seed < firstSeed + sequences && failures < 3; ++seed) {
        std::mt19937 lengths(seed * 7919u);
        const int steps = std::uniform_int_distribution<int>(1, 60)(lengths);
        Sequence sequence(seed, reached);
        if (!sequence.Run(steps)) {
            ADD_FAILURE() << "seed " << seed;
            ++failures;
        }
    }
    if (sequences >= 1000) {
        EXPECT_GT(reached.repeatsWarned, 0);
        EXPECT_GT(reached.recordsRemoved, 0);
        EXPECT_GT(reached.duplicatesHeld, 0);
        EXPECT_GT(reached.refusedWithLine, 0);
        EXPECT_GT(reached.refusedForRegion, 0);
        EXPECT_GT(reached.reportsWritten, 0);
        EXPECT_GT(reached.bandsAfterSort, 0);
        EXPECT_GT(reached.tiedBands, 0);
    }
}

} // namespace
} // namespace stats
