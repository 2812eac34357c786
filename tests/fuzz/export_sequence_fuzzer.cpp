// Drives every export of the module, as the host calls them, with call
// sequences decoded from the fuzz input: any bytes in every text, null texts
// and date-times, date-times of any value and status, any integers, long
// texts and long runs of QSOs, reloads of the module, failing files, dialog
// answers of every kind and allocations that fail part-way through a call.
//
// Beside the module the harness keeps a plain model of the log: records in a
// vector, found by linear scans. After every call it checks the module's
// invariants, compares its log, band list, summary and files with the
// model's, and checks that the module wrote host memory only where it may.
// Any break aborts.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "log/qso_entry.h"
#include "log/round.h"
#include "log/round_check.h"
#include "log/ubn_file.h"
#include "plugin/stats_exports.h"
#include "region/region.h"
#include "report/cabrillo.h"
#include "report/station_profile.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/support/allocation_failure.h"
#include "tests/support/host_calls.h"
#include "tests/support/native_module.h"

namespace stats::fuzzing {
namespace {

namespace fs = std::filesystem;
using stats::testing::FakePlatform;
using stats::testing::TheFakePlatform;

[[noreturn]] void Broken(const char* what, int line) {
    std::fprintf(stderr, "export_sequence_fuzzer:%d: broken: %s\n", line, what);
    std::abort();
}
#define REQUIRE(condition) ((condition) ? (void)0 : Broken(#condition, __LINE__))

constexpr std::size_t kMaxOps = 200;
constexpr std::size_t kMaxQsos = 1024; // per input, so that one input stays quick
constexpr std::size_t kLongText = 65536;
// Bytes of text the log may hold per input: the checks after every call read
// all of it, so this keeps long texts from making an input slow.
constexpr std::size_t kStoredTextBudget = 1 << 20;
constexpr std::size_t kWarningBufferSize = 256;
constexpr std::size_t kSpareBufferSize = 64;
constexpr char kFill = '\xA5';

// The warning's fixed tail in Windows-1251.
constexpr std::string_view kWarningTail =
    " \xC2 \xCE\xC4\xCD\xCE\xCC \xC8 \xD2\xCE\xCC \xC6\xC5 \xD2\xD3\xD0\xC5 "
    "\xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC \xCD\xC5\xCB\xDC\xC7\xDF !!!";

// Texts that mean something to the module, by the role of the argument.
enum class Role { Call, Mode, Exchange, Report, Prefix, Band, OwnCall, Any };

const std::vector<std::string>& Words(Role role) {
    static const std::vector<std::string> calls = {
        "RA3ABC",   "UA3ABC", "R3ABC",  "RZ9UA",  "UA9VAA", "UA1EAA", "UA2FAA",
        "R9AB",     "DL1ABC", "UA0AAA", "R3A",    "R3",     "ua3abc", "Uz3ABC",
        "RA3ABC/9", "",       "A",      "RA3JAA", "UA1AAA", "RA3ABD", "\xD0\xC0\x33\xC0\xC1",
        "UA3AAA/P"};
    static const std::vector<std::string> modes = {"CW", "SSB", "BPSK63", "BPSK62", "CW", "SSB",
                                                   "CW", "cw",  "CW ",    "RTTY",   "",   "SSB\t"};
    static const std::vector<std::string> exchanges = {"00101", "00202", "599", "12345",
                                                       "1",     "0",     " ",   "00000"};
    static const std::vector<std::string> reports = {"599", "59", "579", "5NN", ""};
    static const std::vector<std::string> prefixes = {"UA", "UA2", "UA9", "UA0",
                                                      "ua", "UA ", "DL",  ""};
    static const std::vector<std::string> bands = {"160m",
                                                   "80m",
                                                   "40m",
                                                   "20m",
                                                   "15m",
                                                   "10m",
                                                   "0160m",
                                                   "160M",
                                                   "2m",
                                                   "6m",
                                                   "160m ",
                                                   "",
                                                   "12345678901234567890",
                                                   "123456789012345678901"};
    static const std::vector<std::string> ownCalls = {"UA3AAA", "UA3AAA/P", "R3A\\B", " UA3AAA ",
                                                      "",       "..",       ".",      "cabrillo"};
    static const std::vector<std::string> any = {
        "<CR>", "<LF>", "\r\n", "line 1\r\nline 2", "<CR><LF>", "\xC8\xCD\xC4", "a<CR>b", "\t"};
    switch (role) {
    case Role::Call:
        return calls;
    case Role::Mode:
        return modes;
    case Role::Exchange:
        return exchanges;
    case Role::Report:
        return reports;
    case Role::Prefix:
        return prefixes;
    case Role::Band:
        return bands;
    case Role::OwnCall:
        return ownCalls;
    case Role::Any:
        break;
    }
    return any;
}

// A text argument: nullopt is a null pointer.
using Text = std::optional<std::string>;

std::string_view Value(const Text& text) {
    return text ? std::string_view(*text) : std::string_view();
}

// Copies of the arguments in blocks of exactly their size, so that a read
// past a text's NUL or past a date-time is caught by AddressSanitizer.
class Arena {
  public:
    const char* Put(const Text& text) {
        if (!text) {
            return nullptr;
        }
        auto block = std::make_unique<char[]>(text->size() + 1);
        std::memcpy(block.get(), text->c_str(), text->size() + 1);
        texts_.push_back(std::move(block));
        return texts_.back().get();
    }
    COleDateTime* Put(const std::optional<COleDateTime>& time) {
        if (!time) {
            return nullptr;
        }
        times_.push_back(std::make_unique<COleDateTime>(*time));
        return times_.back().get();
    }

  private:
    std::vector<std::unique_ptr<char[]>> texts_;
    std::vector<std::unique_ptr<COleDateTime>> times_;
};

// What the unused positions of one call get.
struct Junk {
    Text text;
    std::optional<COleDateTime> time;
    int integer = 0;
    unsigned int unsignedInteger = 0;
    double real = 0.0;
};

struct Qso {
    Text ownCall, workedCall, mode, rstSent, rstRcvd, exchSent, exchRcvd, countryPrefix, auxText,
        band;
    std::optional<COleDateTime> time;
    std::uint32_t freqHz = 0;
};

// The date-time a null pointer reads as.
COleDateTime TimeOf(const std::optional<COleDateTime>& time) {
    return time ? *time : COleDateTime(0.0, COleDateTime::null);
}

bool SameTime(const COleDateTime& a, const COleDateTime& b) {
    return std::memcmp(&a.m_dt, &b.m_dt, sizeof a.m_dt) == 0 && a.m_status == b.m_status;
}

// Field for field, the date by its bits (a NaN date is equal to nothing, yet
// the model's record and the module's must be the same).
bool SameRecord(const QsoRecord& a, const QsoRecord& b) {
    return a.call == b.call && a.pairCall == b.pairCall && a.auxText == b.auxText &&
           a.band == b.band && a.mode == b.mode && a.rstRcvd == b.rstRcvd &&
           a.rstSent == b.rstSent && a.exchRcvd == b.exchRcvd && a.exchSent == b.exchSent &&
           a.region == b.region && a.freqKhz == b.freqKhz && SameTime(a.time, b.time);
}

// A cheap hash of a record, consistent with its equality.
std::uint64_t QuickHash(const QsoRecord& r) {
    const std::hash<std::string> h;
    std::uint64_t hash = h(r.call) ^ h(r.band) * 3 ^ h(r.exchRcvd) * 5 ^ r.freqKhz * 7;
    if (r.time.m_dt != 0.0) { // 0.0 and -0.0 are equal
        std::uint64_t bits;
        std::memcpy(&bits, &r.time.m_dt, sizeof bits);
        hash ^= bits * 11;
    }
    return hash;
}

std::string ReadFile(const std::string& name, bool* exists = nullptr) {
    std::string bytes;
    std::error_code error;
    const bool regular = fs::is_regular_file(name, error);
    if (exists != nullptr) {
        *exists = regular;
    }
    if (!regular) {
        return bytes;
    }
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            bytes.append(buffer, got);
        }
        std::fclose(f);
    }
    return bytes;
}

bool IsDirectory(const std::string& name) {
    std::error_code error;
    return fs::is_directory(name, error);
}

std::size_t g_nameMax = 255;

// The module's log as the harness expects it, built by the rules alone.
struct Model {
    std::vector<QsoRecord> log;
    std::vector<std::string> bands;
    int reportMode = 0;
    bool passStarted = false; // a ResetStats0 ran through since load
    // The UBN file of the pass: whether the harness knows its content, and
    // whether the module has it open.
    bool ubnKnown = false;
    bool ubnOpen = false;
    std::string ubnName;
    std::string ubnContent;
};

bool ModelContestMode(std::string_view mode) {
    return mode == "CW" || mode == "BPSK63" || mode == "BPSK62" || mode == "SSB";
}

class Session {
  public:
    explicit Session(FuzzInput& in) : in_(in) {}

    void Run() {
        for (std::size_t op = 0; op < kMaxOps && !in_.Done(); ++op) {
            Step();
        }
        CheckUbnFile(true);
    }

  private:
    // ---- decoding -----------------------------------------------------------

    // Mostly a word of the role, so that calls often get through to the
    // module's deeper steps; else null, empty, a recent text again, any
    // bytes, or a long text.
    Text DecodeText(Role role) {
        const auto& words = Words(role);
        std::string text;
        switch (in_.Byte() % 16) {
        case 0:
            return std::nullopt;
        case 1:
            break;
        case 10:
        case 11:
            if (!recentTexts_.empty()) {
                return recentTexts_[in_.Below(recentTexts_.size())];
            }
            text = words[0];
            break;
        case 12:
        case 13:
            text = in_.Bytes(40);
            break;
        case 14:
            text = words[in_.Below(words.size())] + in_.Bytes(6);
            break;
        case 15: // long texts are costly to check, so a quarter of these only
            text = in_.Byte() % 4 == 0 ? LongText() : in_.Bytes(40);
            break;
        default:
            text = words[in_.Below(words.size())];
            break;
        }
        text.resize(std::strlen(text.c_str())); // the host's texts end at their NUL
        Remember(text);
        return text;
    }

    std::string LongText() {
        const char byte = static_cast<char>(in_.Byte() | 1);
        switch (in_.Byte() % 4) {
        case 0:
            return std::string(kLongText, byte);
        case 1:
            return std::string(kLongText - 1, byte);
        case 2:
            return std::string(200 + in_.Below(100), byte);
        default: {
            std::string piece = in_.Bytes(8);
            piece.push_back(byte);
            std::string text;
            while (text.size() < kLongText) {
                text += piece;
            }
            return text;
        }
        }
    }

    void Remember(const std::string& text) {
        if (recentTexts_.size() < 16) {
            recentTexts_.push_back(text);
        } else {
            recentTexts_[recentIndex_++ % recentTexts_.size()] = text;
        }
    }

    std::optional<COleDateTime> DecodeTime() {
        static const double kSpecial[] = {
            std::numeric_limits<double>::quiet_NaN(),
            -std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::denorm_min(),
            0.0,
            -0.0,
            -1.25,
            2958465.0,
            2958465.9999999,
            2958466.0,
            -657434.0,
            -657434.9999999,
            -657435.0,
            41164.999994212963, // a hair before midnight: rounds into the next day
            1e18,
            -1e18,
        };
        COleDateTime time;
        switch (in_.Byte() % 6) {
        case 0:
            return std::nullopt;
        case 1:
            time = COleDateTime(in_.Double(), COleDateTime::valid);
            time.m_status = in_.I32();
            break;
        case 2: {
            time = COleDateTime(kSpecial[in_.Below(std::size(kSpecial))], COleDateTime::valid);
            const std::uint8_t status = in_.Byte();
            time.m_status = status < 128 ? 0 : status < 192 ? 1 : status < 240 ? 2 : in_.I32();
            break;
        }
        case 5:
            if (!recentTimes_.empty()) {
                return recentTimes_[in_.Below(recentTimes_.size())];
            }
            [[fallthrough]];
        default: {
            // Near the clock, so that the round check finds repeats.
            const CivilTime& now = TheFakePlatform().clock.now;
            const int minutes = static_cast<std::int8_t>(in_.Byte()) / 4;
            time = stats::testing::OleTime(now.year, now.month, now.day, now.hour,
                                           now.minute + minutes, in_.Byte() % 60);
            break;
        }
        }
        if (recentTimes_.size() < 8) {
            recentTimes_.push_back(time);
        } else {
            recentTimes_[in_.Below(recentTimes_.size())] = time;
        }
        return time;
    }

    std::uint32_t DecodeFrequency() {
        static const std::uint32_t kSpecial[] = {0, 999, 1000, 1999, 4294967295u, 4294967000u};
        switch (in_.Byte() % 3) {
        case 0:
            return in_.U32();
        case 1:
            return kSpecial[in_.Below(std::size(kSpecial))];
        default:
            return 1800000 + in_.U32() % 28000000;
        }
    }

    int DecodeInt() {
        switch (in_.Byte() % 3) {
        case 0:
            return 0;
        case 1:
            return 1;
        default:
            return in_.I32();
        }
    }

    Junk DecodeJunk() {
        Junk junk;
        switch (in_.Byte() % 4) {
        case 0:
            junk.text = std::nullopt;
            junk.time = std::nullopt;
            break;
        case 1:
            junk.text = std::string();
            junk.time = COleDateTime(in_.Double(), COleDateTime::invalid);
            break;
        case 2:
            junk.text = in_.Bytes(16);
            junk.text->resize(std::strlen(junk.text->c_str()));
            junk.time = COleDateTime(41164.5, static_cast<COleDateTime::DateTimeStatus>(in_.I32()));
            break;
        default:
            junk.text = std::string(kLongText, 'J');
            junk.time = COleDateTime(std::nan(""), COleDateTime::valid);
            break;
        }
        junk.integer = in_.I32();
        junk.unsignedInteger = in_.U32();
        junk.real = in_.Double();
        return junk;
    }

    Qso DecodeQso() {
        Qso q;
        q.ownCall = DecodeText(Role::OwnCall);
        q.workedCall = DecodeText(Role::Call);
        q.time = DecodeTime();
        q.freqHz = DecodeFrequency();
        q.mode = DecodeText(Role::Mode);
        q.rstSent = DecodeText(Role::Report);
        q.rstRcvd = DecodeText(Role::Report);
        q.exchSent = DecodeText(Role::Exchange);
        q.exchRcvd = DecodeText(Role::Exchange);
        q.countryPrefix = DecodeText(Role::Prefix);
        q.auxText = in_.Bit() ? DecodeText(Role::Any) : Text(std::string());
        q.band = DecodeText(Role::Band);
        return q;
    }

    // The QSO of a stored record, to be added again or removed.
    Qso QsoOfRecord(const QsoRecord& r) {
        Qso q;
        q.ownCall = std::string("UA3AAA");
        q.workedCall = r.call;
        q.time = r.time;
        q.freqHz = r.freqKhz * 1000 + (r.freqKhz < 4294967 ? in_.Byte() % 250 * 4 : 0);
        q.mode = r.mode;
        q.rstSent = r.rstSent;
        q.rstRcvd = r.rstRcvd;
        q.exchSent = r.exchSent;
        q.exchRcvd = r.exchRcvd;
        q.countryPrefix = std::string(r.region.empty() ? "DL" : "UA");
        q.auxText = r.auxText;
        q.band = r.band;
        return q;
    }

    // ---- calls --------------------------------------------------------------

    // Calls AddData0 or RemoveData0. The arguments are copied first, so that
    // an armed allocation failure hits the export and not the harness.
    int CallQso(int (*fn)(STATS_QSO_PARAMS), const Qso& q, const Junk& j, bool& failed) {
        Arena a;
        const char* t = a.Put(j.text);
        COleDateTime* jt = a.Put(j.time);
        const int i = j.integer;
        const double d = j.real;
        const unsigned u = j.unsignedInteger;
        const char* ownCall = a.Put(q.ownCall);
        const char* workedCall = a.Put(q.workedCall);
        COleDateTime* time = a.Put(q.time);
        const char* mode = a.Put(q.mode);
        const char* rstSent = a.Put(q.rstSent);
        const char* rstRcvd = a.Put(q.rstRcvd);
        const char* exchSent = a.Put(q.exchSent);
        const char* exchRcvd = a.Put(q.exchRcvd);
        const char* prefix = a.Put(q.countryPrefix);
        const char* aux = a.Put(q.auxText);
        const char* band = a.Put(q.band);
        BeforeCall();
        ArmFailure();
        const int result =
            fn(ownCall, workedCall, time, jt, jt, jt, u, q.freqHz, mode, rstSent, rstRcvd, exchSent,
               exchRcvd, t, t, t, t, t, t, t, t, t, prefix, i, i, i, d, d, t, aux, t, band, t);
        failed = DisarmFailure();
        return result;
    }

    // Arms an allocation failure for the next export call, if one is due.
    void ArmFailure() {
        if (failureDue_) {
            stats::testing::FailAllocation(failureCountdown_, failurePersistent_);
        }
    }
    // Disarms; true when an allocation failed in the call.
    bool DisarmFailure() {
        if (!failureDue_) {
            return false;
        }
        failureDue_ = false;
        return stats::testing::StopFailingAllocations();
    }

    void BeforeCall() {
        // The last summary text stays valid and unchanged until the next call.
        if (lastResult_ != nullptr) {
            REQUIRE(std::memcmp(lastResult_, lastResultCopy_.c_str(), lastResultCopy_.size() + 1) ==
                    0);
            lastResult_ = nullptr;
        }
    }

    // ---- the steps ----------------------------------------------------------

    void Step() {
        const int op = in_.Byte() % 16;
        if (std::getenv("STATS_FUZZ_TRACE") != nullptr) {
            // Which steps an input takes, for reading a crash.
            static const char* const kNames[] = {"ResetStats0",
                                                 "AddData0",
                                                 "AddData0",
                                                 "AddData0 run",
                                                 "AddData0 again",
                                                 "RemoveData0",
                                                 "RemoveData0 stored",
                                                 "CheckCall0",
                                                 "CheckCall0 stored",
                                                 "GetResult0",
                                                 "small exports",
                                                 "reload",
                                                 "clock",
                                                 "file fault",
                                                 "setting",
                                                 "allocation failure"};
            std::fprintf(stderr, "step: %s (log %zu)\n", kNames[op], model_.log.size());
        }
        switch (op) {
        case 0:
            ResetStats();
            break;
        case 1:
        case 2:
            AddData(DecodeQso());
            break;
        case 3:
            AddBurst();
            break;
        case 4:
            AddStoredAgain();
            break;
        case 5:
            RemoveData(DecodeQso());
            break;
        case 6:
            RemoveStored();
            break;
        case 7:
            CheckCall(DecodeText(Role::Call), DecodeText(Role::Mode));
            break;
        case 8:
            CheckStored();
            break;
        case 9:
            GetResult();
            break;
        case 10:
            SmallExports();
            break;
        case 11:
            Reload();
            break;
        case 12:
            SetClock();
            break;
        case 13:
            FileFault();
            break;
        case 14:
            SetSetting();
            break;
        default:
            failureDue_ = true;
            failureCountdown_ = in_.Byte() % 2 == 0 ? in_.Byte() : in_.U16() % 2048;
            failurePersistent_ = in_.Bit();
            break;
        }
    }

    void ResetStats() {
        const Text first = DecodeText(Role::Any);
        const int reportMode = DecodeInt();
        const Text ownCall = DecodeText(Role::OwnCall);
        const Junk j = DecodeJunk();
        // The dialog's answer: OK with the fields as they came or edited,
        // CANCEL, a failed dialog, or any other result.
        const std::uint8_t answer = in_.Byte() % 5;
        std::vector<std::pair<std::size_t, std::string>> edits;
        int other = kDialogCancel;
        if (answer == 3) {
            for (std::size_t field = 0; field < 10; ++field) {
                if (in_.Bit()) {
                    edits.emplace_back(field, std::string(Value(DecodeText(Role::Any))));
                }
            }
        } else if (answer == 4) {
            other = in_.I32();
        }
        StationDialogFields confirmed;
        bool dialogRan = false;
        int dialogResult = 0;
        TheFakePlatform().dialog.respond = [&](StationDialogFields& f) {
            dialogRan = true;
            std::string* fields[] = {&f.callsign, &f.claimed, &f.club, &f.category,
                                     &f.contest,  &f.email,   &f.name, &f.operators,
                                     &f.soapbox,  &f.address};
            for (const auto& edit : edits) {
                *fields[edit.first] = edit.second;
            }
            dialogResult = answer == 0   ? kDialogCancel
                           : answer == 1 ? kDialogFailed
                           : answer == 4 ? other
                                         : kDialogOk;
            if (dialogResult == kDialogOk) {
                confirmed = f;
            }
            return dialogResult;
        };

        Arena a;
        const char* t = a.Put(j.text);
        COleDateTime* jt = a.Put(j.time);
        const int i = j.integer;
        const double d = j.real;
        const char* firstArg = a.Put(first);
        const char* ownCallArg = a.Put(ownCall);
        const std::string ubnName = UbnFileName(Value(ownCall));
        const std::string header = "Kestrun TEST UBN file " + std::string(Value(ownCall)) + "\n\n";
        bool ubnExisted = false;
        const std::string ubnBefore =
            failureDue_ && ubnName.size() <= g_nameMax ? ReadFile(ubnName, &ubnExisted) : "";
        const std::size_t startedBefore = TheFakePlatform().launcher.started.size();
        BeforeCall();
        ArmFailure();
        const int result = ResetStats0(firstArg, reportMode, ownCallArg, jt, jt, t, t, t, t, t, t,
                                       t, t, t, t, i, i, i, d, d, t, t, t);
        const bool failed = DisarmFailure();
        TheFakePlatform().dialog.respond = nullptr;

        REQUIRE(result == 1);
        REQUIRE(TheFakePlatform().launcher.started.size() <= 1);
        if (!failed && !model_.passStarted) {
            REQUIRE(TheFakePlatform().launcher.started.size() == 1);
        }
        if (startedBefore == 1 || model_.passStarted) {
            REQUIRE(TheFakePlatform().launcher.started.size() == startedBefore);
        }
        model_.passStarted = true;
        storedBytes_ = 0;
        model_.log.clear();
        model_.bands.clear();
        model_.reportMode = reportMode;
        model_.ubnName = ubnName;
        model_.ubnContent = header;
        ubnChecked_ = 0;
        const bool canOpen = !TheFakePlatform().files.failOpens && ubnName.size() <= g_nameMax;
        model_.ubnOpen = !failed && canOpen;
        model_.ubnKnown = model_.ubnOpen;
        if (failed && canOpen) {
            // Out of memory: the pass has its new file with the header, or
            // no file, and then the file of that name is as it was.
            bool exists = false;
            const std::string onDisk = ReadFile(ubnName, &exists);
            const bool fresh = exists && onDisk == header;
            REQUIRE(fresh || (exists == ubnExisted && onDisk == ubnBefore));
            if (fresh && !(ubnExisted && ubnBefore == header)) {
                model_.ubnOpen = model_.ubnKnown = true;
            }
        }
        if (!failed) {
            REQUIRE(dialogRan == (reportMode != 0));
            CheckUbnFile();
        }
        if (!failed && reportMode != 0) {
            const StationProfile& p = TheModule().Profile();
            REQUIRE(p.fileBase == FileBaseFor(Value(ownCall)));
            if (dialogResult == kDialogOk) {
                REQUIRE(p.callsign == confirmed.callsign);
                REQUIRE(p.name == confirmed.name);
                REQUIRE(p.operators == confirmed.operators);
                REQUIRE(p.category == confirmed.category);
                REQUIRE(p.email == confirmed.email);
                REQUIRE(p.club == confirmed.club);
                REQUIRE(p.contest == confirmed.contest);
            } else {
                REQUIRE(p.callsign == Value(ownCall));
                REQUIRE(p.category == kStartingCategory);
            }
        }
        CheckModule();
    }

    void AddData(const Qso& q) {
        // Refused QSOs count too: their lines go to the UBN file.
        const std::size_t bytes =
            Value(q.ownCall).size() + Value(q.workedCall).size() * 2 + Value(q.mode).size() +
            Value(q.rstSent).size() + Value(q.rstRcvd).size() + Value(q.exchSent).size() +
            Value(q.exchRcvd).size() + Value(q.auxText).size() + Value(q.band).size();
        if (qsoCalls_ >= kMaxQsos || storedBytes_ + bytes > kStoredTextBudget) {
            return;
        }
        ++qsoCalls_;
        storedBytes_ += bytes;
        const Junk j = DecodeJunk();
        const Model before = failureDue_ ? model_ : Model();
        std::string line;
        const int expected = ModelAdd(q, line);
        bool failed = false;
        const int result = CallQso(&AddData0, q, j, failed);
        if (failed) {
            // Refused, the log as it was; the band may have been entered.
            REQUIRE(result == 0);
            std::vector<std::string> actual(TheModule().Bands().begin(), TheModule().Bands().end());
            std::vector<std::string> added = before.bands;
            if (std::find(added.begin(), added.end(), Value(q.band)) == added.end()) {
                added.emplace_back(Value(q.band));
            }
            REQUIRE(actual == before.bands || actual == added);
            const std::string ubn = model_.ubnContent;
            model_ = before;
            model_.bands = actual;
            if (!line.empty() && model_.ubnKnown && model_.ubnOpen) {
                const std::string onDisk = ReadFile(model_.ubnName);
                REQUIRE(onDisk == before.ubnContent || onDisk == ubn);
                model_.ubnContent = onDisk;
            }
        } else {
            REQUIRE(result == expected);
            if (!line.empty()) {
                CheckUbnFile();
            }
        }
        CheckModule();
    }

    // Returns what AddData0 answers by the rules, and changes the model as
    // the call should; `line` gets the rejection line, if one is written.
    int ModelAdd(const Qso& q, std::string& line) {
        line.clear();
        if (!ModelContestMode(Value(q.mode))) {
            line = ModelRejection(q, " No contest mode \n");
        } else if (Value(q.exchRcvd).empty() || Value(q.exchSent).empty()) {
            line = ModelRejection(q, "No RX number\n");
        }
        if (!line.empty()) {
            if (model_.ubnOpen) {
                model_.ubnContent += line;
            }
            return 0;
        }
        if (std::find(model_.bands.begin(), model_.bands.end(), Value(q.band)) ==
            model_.bands.end()) {
            model_.bands.emplace_back(Value(q.band));
        }
        QsoRecord r;
        r.call = r.pairCall = std::string(Value(q.workedCall));
        r.auxText = std::string(Value(q.auxText));
        r.band = std::string(Value(q.band));
        r.mode = std::string(Value(q.mode));
        r.rstRcvd = std::string(Value(q.rstRcvd));
        r.rstSent = std::string(Value(q.rstSent));
        r.exchRcvd = std::string(Value(q.exchRcvd));
        r.exchSent = std::string(Value(q.exchSent));
        r.freqKhz = q.freqHz / 1000;
        r.time = TimeOf(q.time);
        const std::string_view prefix = Value(q.countryPrefix);
        if (prefix == "UA" || prefix == "UA2" || prefix == "UA9") {
            const char* code = LookupRegion(r.call);
            if (code == nullptr) {
                return 0;
            }
            r.region = code;
        }
        for (const QsoRecord& stored : model_.log) {
            if (stored == r) {
                return 1;
            }
        }
        model_.log.push_back(std::move(r));
        return 1;
    }

    static std::string ModelRejection(const Qso& q, std::string_view reason) {
        std::string line = "QSO: " + std::to_string(q.freqHz / 1000);
        const std::string date = RejectionDateTimeText(TimeOf(q.time));
        for (std::string_view part :
             {Value(q.mode), std::string_view(date), Value(q.ownCall), Value(q.rstSent),
              Value(q.exchSent), Value(q.workedCall), Value(q.rstRcvd), Value(q.exchRcvd)}) {
            line += "  ";
            line.append(part);
        }
        line.append(reason);
        return line;
    }

    void AddBurst() {
        Qso q = DecodeQso();
        const std::size_t count = 1 + in_.U16() % 256;
        const std::uint8_t variation = in_.Byte() % 4;
        const std::string call(Value(q.workedCall));
        const COleDateTime time = TimeOf(q.time);
        const auto& bands = Words(Role::Band);
        for (std::size_t i = 0; i < count && qsoCalls_ < kMaxQsos; ++i) {
            switch (variation) {
            case 0:
                q.workedCall = call + std::to_string(i);
                break;
            case 1:
                q.time =
                    COleDateTime(time.m_dt + static_cast<double>(i) / 1440.0, time.GetStatus());
                break;
            case 2:
                q.band = bands[i % bands.size()];
                q.workedCall = call + std::to_string(i % 7);
                break;
            default: // the same QSO again and again
                break;
            }
            AddData(q);
        }
    }

    void AddStoredAgain() {
        if (model_.log.empty()) {
            return;
        }
        const QsoRecord& record = model_.log[in_.Below(model_.log.size())];
        // The log finds the record by its content; a NaN date is equal to nothing.
        REQUIRE(TheModule().Log().Contains(record) == (record.time == record.time));
        Qso q = QsoOfRecord(record);
        Text* fields[] = {&q.workedCall, &q.mode,    &q.rstSent, &q.rstRcvd, &q.exchSent,
                          &q.exchRcvd,   &q.auxText, &q.band,    &q.ownCall};
        const std::size_t change = in_.Below(std::size(fields) + 2);
        if (change < std::size(fields)) {
            *fields[change] = DecodeText(Role::Any);
        } else if (change == std::size(fields)) {
            q.time = DecodeTime();
        }
        AddData(q);
    }

    void RemoveData(const Qso& q) {
        const Junk j = DecodeJunk();
        const std::vector<QsoRecord> before = failureDue_ ? model_.log : std::vector<QsoRecord>();
        int expected = 0;
        if (!Value(q.exchRcvd).empty() && !Value(q.exchSent).empty()) {
            expected = 1;
            for (auto it = model_.log.begin(); it != model_.log.end(); ++it) {
                if (it->call == Value(q.workedCall) && it->mode == Value(q.mode) &&
                    it->band == Value(q.band)) {
                    model_.log.erase(it);
                    break;
                }
            }
        }
        bool failed = false;
        const int result = CallQso(&RemoveData0, q, j, failed);
        if (failed) {
            REQUIRE(result == 0);
            model_.log = before;
        } else {
            REQUIRE(result == expected);
        }
        CheckModule();
    }

    void RemoveStored() {
        if (model_.log.empty()) {
            return;
        }
        const QsoRecord& r = model_.log[in_.Below(model_.log.size())];
        Qso q;
        q.workedCall = r.call;
        q.mode = r.mode;
        q.band = r.band;
        q.exchSent = in_.Bit() ? DecodeText(Role::Exchange) : Text("1");
        q.exchRcvd = std::string("2");
        q.time = DecodeTime();
        RemoveData(q);
    }

    void CheckCall(const Text& call, const Text& mode) {
        const Junk j = DecodeJunk();
        const std::uint8_t buffers = in_.Byte();
        // Exactly the room the warning may take, so that a write past it is
        // caught; a spare buffer (argument 27) that must stay as it is.
        auto warning = std::make_unique<char[]>(kWarningBufferSize);
        auto spare = std::make_unique<char[]>(kSpareBufferSize);
        std::memset(warning.get(), kFill, kWarningBufferSize);
        std::memset(spare.get(), kFill, kSpareBufferSize);
        char* warningArg = buffers % 16 == 0 ? nullptr : warning.get();
        char* spareArg = buffers % 4 == 1 ? nullptr : spare.get();

        const CivilTime now = TheFakePlatform().clock.now;
        const std::int64_t round = RoundOf(now);
        int expected = kNoRepeat;
        for (const QsoRecord& r : model_.log) {
            if (r.call == Value(call) && r.mode == Value(mode) && round != kNoRound &&
                RoundOf(r.time) == round) {
                expected = kRepeatInRound;
                break;
            }
        }
        Arena a;
        const char* t = a.Put(j.text);
        const int i = j.integer;
        const double d = j.real;
        const unsigned u = j.unsignedInteger;
        const char* callArg = a.Put(call);
        const char* modeArg = a.Put(mode);
        BeforeCall();
        ArmFailure();
        const int result = CheckCall0(callArg, u, u, modeArg, t, t, t, t, t, t, t, t, t, t, i, i, i,
                                      d, d, t, t, t, t, t, t, t, spareArg, warningArg);
        const bool failed = DisarmFailure();
        REQUIRE(result == (failed ? kNoRepeat : expected));
        for (std::size_t k = 0; k < kSpareBufferSize; ++k) {
            REQUIRE(spare[k] == kFill);
        }
        std::size_t untouchedFrom = 0;
        if (result == kRepeatInRound && warningArg != nullptr) {
            const std::size_t room = kWarningBufferSize - 1 - 6 - kWarningTail.size();
            std::string text = "QSO c ";
            text.append(Value(call).substr(0, room));
            text.append(kWarningTail);
            REQUIRE(text.size() < kWarningBufferSize);
            REQUIRE(std::memcmp(warning.get(), text.c_str(), text.size() + 1) == 0);
            untouchedFrom = text.size() + 1;
        }
        for (std::size_t k = untouchedFrom; k < kWarningBufferSize; ++k) {
            REQUIRE(warning[k] == kFill); // nothing past the NUL, nothing at all with 2
        }
        CheckModule();
    }

    void CheckStored() {
        if (model_.log.empty()) {
            return;
        }
        const QsoRecord& r = model_.log[in_.Below(model_.log.size())];
        CivilTime at;
        if (ToCivilTime(r.time, at)) {
            TheFakePlatform().clock.now = at;
        }
        const Text call = r.call;
        const Text mode = r.mode;
        CheckCall(call, mode);
    }

    // The summary by the rules: the exchange sort of the bands on keys
    // padded with "0" to 20 bytes, then every band counted by linear scans.
    std::string ModelSummary(std::vector<std::string>& bands, int& score) const {
        const auto key = [](const std::string& name) {
            return name.size() >= 20 ? name : std::string(20 - name.size(), '0') + name;
        };
        for (std::size_t i = 0; i + 1 < bands.size(); ++i) {
            for (std::size_t j = i + 1; j < bands.size(); ++j) {
                if (key(bands[i]) < key(bands[j])) {
                    std::swap(bands[i], bands[j]);
                }
            }
        }
        const auto number = [](int n) { return "\t " + std::to_string(n); };
        std::string text = "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\n";
        int points = 0;
        int cw = 0;
        int ssb = 0;
        for (const std::string& band : bands) {
            int qsos = 0;
            int bandCw = 0;
            int bandSsb = 0;
            std::vector<std::string> regions;
            std::vector<std::pair<std::string, std::string>> pairs;
            for (const QsoRecord& r : model_.log) {
                if (r.band != band || r.call.empty()) {
                    continue;
                }
                ++qsos;
                bandCw += r.mode == "CW" ? 1 : 0;
                bandSsb += r.mode == "SSB" ? 1 : 0;
                if (!r.region.empty() &&
                    std::find(regions.begin(), regions.end(), r.region) == regions.end()) {
                    regions.push_back(r.region);
                }
                const auto pair = std::make_pair(r.pairCall, r.mode);
                if (std::find(pairs.begin(), pairs.end(), pair) == pairs.end()) {
                    pairs.push_back(pair);
                }
            }
            const int bandPoints = 3 * static_cast<int>(regions.size()) +
                                   (band == "160m" ? 2 : 1) * qsos +
                                   5 * static_cast<int>(pairs.size());
            text += band + number(qsos) + number(bandPoints) + number(bandCw) + number(bandSsb) +
                    "\r\n";
            points += bandPoints;
            cw += bandCw;
            ssb += bandSsb;
        }
        text += "Total" + number(static_cast<int>(model_.log.size())) + number(points) +
                number(cw) + number(ssb) + "\r\n";
        text += "Score" + number(points) + "\r\n";
        score = points;
        return text;
    }

    static std::string ModelModeCode(const std::string& mode) {
        if (mode == "CW") {
            return "CW";
        }
        if (mode == "BPSK63" || mode == "BPSK62") {
            return "PM";
        }
        return mode == "SSB" ? "PH" : "??";
    }

    // The Cabrillo file by its layout, from the profile as the module holds it.
    std::string ModelCabrillo(int score, const std::string& templ) const {
        const StationProfile& p = TheModule().Profile();
        std::string file = "START-OF-LOG: 2.0\r\nCALLSIGN: " + p.callsign +
                           "\r\nCATEGORY: " + p.category +
                           "\r\nCLAIMED-SCORE: " + std::to_string(score) + "\r\nCLUB: " + p.club +
                           "\r\nCONTEST: VELMORA\r\nCREATED-BY: Vestra \r\nNAME: " + p.name +
                           "\r\nADDRESS: " + p.address + "\r\nOPERATORS: " + p.operators +
                           "\r\nEMAIL: " + p.email + "\r\nSOAPBOX: " + p.soapbox + "\r\n";
        file += templ;
        for (const QsoRecord& r : model_.log) {
            const std::string date = CabrilloDateTime(r.time);
            const std::string code = ModelModeCode(r.mode);
            const char* format = "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n";
            const auto print = [&](char* out, std::size_t size) {
                return std::snprintf(out, size, format, static_cast<int>(r.freqKhz), code.c_str(),
                                     date.c_str(), p.callsign.c_str(), r.rstSent.c_str(),
                                     r.exchSent.c_str(), r.call.c_str(), r.rstRcvd.c_str(),
                                     r.exchRcvd.c_str());
            };
            std::string line(static_cast<std::size_t>(print(nullptr, 0)), '\0');
            print(line.data(), line.size() + 1);
            file += line;
        }
        file += "END-OF-LOG:\r\n";
        return file;
    }

    void GetResult() {
        const std::uint8_t pointer = in_.Byte();
        auto slots = std::make_unique<int[]>(3);
        slots[0] = slots[2] = 0x5A5A5A5A;
        slots[1] = 0x12345678;
        int* resultArg = pointer % 16 == 0 ? nullptr : &slots[1];

        std::vector<std::string> sortedBands = model_.bands;
        int score = 0;
        const std::string summary = ModelSummary(sortedBands, score);

        const bool report = model_.reportMode != 0;
        const std::string name = TheModule().Profile().fileBase + ".cbr";
        const std::string temporary = name + ".tmp";
        const bool fitting = temporary.size() <= g_nameMax;
        bool hadFile = false;
        const std::string fileBefore = report && fitting ? ReadFile(name, &hadFile) : "";
        bool templateExists = false;
        const std::string templ = report ? ReadFile(kCabrilloTemplate, &templateExists) : "";
        const bool writable = fitting && !TheFakePlatform().files.failOpens &&
                              !TheFakePlatform().files.failReplace && !IsDirectory(name) &&
                              !IsDirectory(temporary);

        BeforeCall();
        ArmFailure();
        const char* text = GetResult0(resultArg);
        const bool failed = DisarmFailure();

        REQUIRE(text != nullptr);
        REQUIRE(slots[0] == 0x5A5A5A5A && slots[2] == 0x5A5A5A5A);
        const std::vector<std::string> bands(TheModule().Bands().begin(),
                                             TheModule().Bands().end());
        if (failed) {
            REQUIRE(text[0] == '\0');
            REQUIRE(slots[1] == 0x12345678 || slots[1] == score || slots[1] == -1);
            REQUIRE(bands == model_.bands || bands == sortedBands);
            model_.bands = bands;
        } else {
            REQUIRE(summary == text);
            if (resultArg != nullptr) {
                REQUIRE(slots[1] == (report ? -1 : score));
            }
            const std::string* claimed =
                TheFakePlatform().settings.Find(kSettingsFile, kSettingsSection, "Claimed");
            REQUIRE(claimed != nullptr && *claimed == std::to_string(score));
            model_.bands = sortedBands;
            lastResult_ = text;
            lastResultCopy_ = text;
        }
        if (report && fitting) {
            bool hasFile = false;
            const std::string fileAfter = ReadFile(name, &hasFile);
            REQUIRE(!fs::exists(temporary) || IsDirectory(temporary));
            const std::string fresh = ModelCabrillo(score, templ);
            if (!failed && writable) {
                REQUIRE(hasFile && fileAfter == fresh);
            } else {
                // The old file, whole, or (out of memory late) the new one.
                REQUIRE((hasFile == hadFile && fileAfter == fileBefore) ||
                        (failed && hasFile && fileAfter == fresh));
            }
            if (!failed && writable && !templateExists && !IsDirectory(kCabrilloTemplate)) {
                bool created = false;
                REQUIRE(ReadFile(kCabrilloTemplate, &created).empty() && created);
            }
        }
        CheckModule();
    }

    void SmallExports() {
        const Text a = DecodeText(Role::Exchange);
        const Text b = DecodeText(Role::Any);
        const int index = in_.Byte() % 2 == 0 ? in_.Byte() % 3 - 1 : in_.I32();
        const int last = DecodeInt();
        const int i = in_.I32();
        Arena arena;
        const char* pa = arena.Put(a);
        const char* pb = arena.Put(b);
        const std::size_t shown = TheFakePlatform().messages.shown.size();
        const bool failureDue = failureDue_;
        BeforeCall();
        ArmFailure();
        const int sets = GetNumberOfSets();
        const char* name = GetSetName(index);
        const int count = GetExchgCount0(pa, pb, pb);
        const int valid = IsValidExchg0(pa, pb, pb, pb, i, i, last);
        const bool failed = DisarmFailure();
        REQUIRE(!failed); // they need no memory
        REQUIRE(sets == 1);
        REQUIRE(count == 1);
        REQUIRE(name != nullptr && std::string(name) == (index == 0 ? "Velmora" : ""));
        const std::string_view exchange = Value(a);
        const bool digits =
            exchange.size() == 5 && std::all_of(exchange.begin(), exchange.end(),
                                                [](char c) { return c >= '0' && c <= '9'; });
        REQUIRE(valid == (last == 0 && digits ? 1 : 0));
        if (in_.Bit()) {
            failureDue_ = failureDue;
            ArmFailure();
            SetupSet0();
            const bool setupFailed = DisarmFailure();
            const std::vector<std::string>& messages = TheFakePlatform().messages.shown;
            REQUIRE(messages.size() == shown + 1 || (setupFailed && messages.size() == shown));
            REQUIRE(messages.size() == shown ||
                    messages.back() == "No additional setup for this contest");
        }
        CheckModule();
    }

    void Reload() {
        BeforeCall();
        stats::testing::ReloadModule();
        storedBytes_ = 0;
        const bool ubnKnown = model_.ubnKnown;
        const std::string ubnName = model_.ubnName;
        const std::string ubnContent = model_.ubnContent;
        model_ = Model();
        // The file stays on disk as the closed stream left it.
        model_.ubnKnown = ubnKnown;
        model_.ubnName = ubnName;
        model_.ubnContent = ubnContent;
        CheckUbnFile();
        CheckModule();
    }

    void SetClock() {
        CivilTime& now = TheFakePlatform().clock.now;
        if (in_.Bit() && !recentTimes_.empty()) {
            CivilTime at;
            if (ToCivilTime(recentTimes_[in_.Below(recentTimes_.size())], at)) {
                now = at;
            }
            return;
        }
        now.year = 1990 + in_.Byte() % 60;
        now.month = 1 + in_.Byte() % 12;
        now.day = 1 + in_.Byte() % 28;
        now.hour = in_.Byte() % 24;
        now.minute = in_.Byte() % 60;
        now.second = in_.Byte() % 60;
    }

    void FileFault() {
        FakePlatform& fakes = TheFakePlatform();
        std::error_code error;
        const std::string base = TheModule().Profile().fileBase + ".cbr";
        switch (in_.Byte() % 7) {
        case 0:
            fakes.files.failOpens = !fakes.files.failOpens;
            break;
        case 1:
            fakes.files.failReplace = !fakes.files.failReplace;
            break;
        case 2: {
            fs::remove_all(kCabrilloTemplate, error);
            const std::string bytes = in_.Bytes(64);
            if (std::FILE* f = std::fopen(kCabrilloTemplate, "wb")) {
                std::fwrite(bytes.data(), 1, bytes.size(), f);
                std::fclose(f);
            }
            break;
        }
        case 3:
            fs::remove_all(kCabrilloTemplate, error);
            break;
        case 4:
            fs::remove_all(kCabrilloTemplate, error);
            fs::create_directory(kCabrilloTemplate, error);
            break;
        case 5:
            if (base.size() + 4 <= g_nameMax) {
                const std::string obstacle = in_.Bit() ? base : base + ".tmp";
                if (IsDirectory(obstacle)) {
                    fs::remove_all(obstacle, error);
                } else {
                    fs::remove(obstacle, error);
                    fs::create_directory(obstacle, error);
                }
            }
            break;
        default:
            if (base.size() + 4 <= g_nameMax && !IsDirectory(base)) {
                fs::remove(base, error);
            }
            break;
        }
    }

    void SetSetting() {
        static const char* const kKeys[] = {"Operators", "Name", "Address", "Claimed",
                                            "Email",     "Club", "SoapBox", "Category"};
        const char* key = kKeys[in_.Below(std::size(kKeys))];
        TheFakePlatform().settings.Set(kSettingsFile, kSettingsSection, key,
                                       std::string(Value(DecodeText(Role::Any))));
    }

    // ---- checks -------------------------------------------------------------

    // The pass's UBN file holds its header and its rejection lines, each
    // written through as it came (also after the module was unloaded). Only
    // the part not yet compared is read, unless `whole`.
    void CheckUbnFile(bool whole = false) {
        if (!model_.ubnKnown) {
            return;
        }
        const std::size_t from = whole ? 0 : std::min(ubnChecked_, model_.ubnContent.size());
        std::error_code error;
        REQUIRE(fs::is_regular_file(model_.ubnName, error));
        REQUIRE(fs::file_size(model_.ubnName, error) == model_.ubnContent.size());
        std::string tail;
        if (std::FILE* f = std::fopen(model_.ubnName.c_str(), "rb")) {
            std::fseek(f, static_cast<long>(from), SEEK_SET);
            tail.resize(model_.ubnContent.size() - from);
            tail.resize(std::fread(tail.data(), 1, tail.size(), f));
            std::fclose(f);
        }
        REQUIRE(model_.ubnContent.compare(from, std::string::npos, tail) == 0);
        ubnChecked_ = model_.ubnContent.size();
    }

    // The module's own invariants, and its state against the model.
    void CheckModule() const {
        const StatsModule& module = TheModule();
        const QsoLog& log = module.Log();
        const BandList& bands = module.Bands();

        std::unordered_set<std::string_view> bandNames;
        for (const std::string& band : bands) {
            REQUIRE(bandNames.insert(band).second); // no band twice
            REQUIRE(bands.Contains(band));
        }
        std::vector<std::pair<std::uint64_t, std::size_t>> byHash;
        byHash.reserve(log.size());
        for (std::size_t i = 0; i < log.size(); ++i) {
            const QsoRecord& r = log[i];
            REQUIRE(IsContestMode(r.mode));
            REQUIRE(!r.exchRcvd.empty() && !r.exchSent.empty());
            REQUIRE(bandNames.count(r.band) == 1); // every stored band is listed
            REQUIRE(r.pairCall == r.call);
            REQUIRE(r.region.empty() || (r.region.size() == 2 &&
                                         std::isupper(static_cast<unsigned char>(r.region[0])) &&
                                         std::isupper(static_cast<unsigned char>(r.region[1]))));
            byHash.emplace_back(QuickHash(r), i);
        }
        // No two equal records.
        std::sort(byHash.begin(), byHash.end());
        for (std::size_t i = 0; i < byHash.size(); ++i) {
            for (std::size_t j = i + 1; j < byHash.size() && byHash[j].first == byHash[i].first;
                 ++j) {
                REQUIRE(log[byHash[i].second] != log[byHash[j].second]);
            }
        }

        REQUIRE(log.size() == model_.log.size());
        for (std::size_t i = 0; i < log.size(); ++i) {
            REQUIRE(SameRecord(log[i], model_.log[i]));
        }
        REQUIRE(bands.size() == model_.bands.size());
        for (std::size_t i = 0; i < bands.size(); ++i) {
            REQUIRE(bands[i] == model_.bands[i]);
        }
        REQUIRE(module.ReportMode() == model_.reportMode);

        // Every line of the address and soapbox starts with its keyword.
        const StationProfile& p = module.Profile();
        for (const auto& field : {std::make_pair(&p.address, std::string_view("ADDRESS: ")),
                                  std::make_pair(&p.soapbox, std::string_view("SOAPBOX: "))}) {
            const std::string& text = *field.first;
            for (std::size_t at = 0; at < text.size(); ++at) {
                if (text[at] == '\r') {
                    REQUIRE(text.compare(at + 1, 1 + field.second.size(),
                                         "\n" + std::string(field.second)) == 0);
                } else if (text[at] == '\n') {
                    REQUIRE(at > 0 && text[at - 1] == '\r');
                }
            }
        }
    }

    FuzzInput& in_;
    Model model_;
    std::vector<std::string> recentTexts_;
    std::size_t recentIndex_ = 0;
    std::vector<COleDateTime> recentTimes_;
    std::size_t qsoCalls_ = 0;
    std::size_t storedBytes_ = 0;
    std::size_t ubnChecked_ = 0; // bytes of the UBN file compared so far
    bool failureDue_ = false;
    std::size_t failureCountdown_ = 0;
    bool failurePersistent_ = false;
    const char* lastResult_ = nullptr;
    std::string lastResultCopy_;
};

std::string g_directory; // the private directory the module writes in
std::string g_home;      // where the fuzzer runs: corpus and crash inputs

void RemoveDirectory() {
    if (!g_directory.empty()) {
        std::error_code error;
        fs::current_path(g_home, error);
        fs::remove_all(g_directory, error);
    }
}

} // namespace
} // namespace stats::fuzzing

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    namespace fs = std::filesystem;
    using namespace stats::fuzzing;
    // The module writes its files in the current directory, so each input
    // runs in a private one. Inputs that break something must still be
    // written where the fuzzer was started, not in there.
    g_home = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "stats-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("export_sequence_fuzzer: private directory");
        std::abort();
    }
    g_directory = pattern;
    std::atexit(RemoveDirectory);
    const long nameMax = ::pathconf(pattern.c_str(), _PC_NAME_MAX);
    if (nameMax > 0) {
        g_nameMax = static_cast<std::size_t>(nameMax);
    }
    bool artifactPathGiven = false;
    for (int i = 1; i < *argc; ++i) {
        artifactPathGiven = artifactPathGiven ||
                            std::strncmp((*argv)[i], "-artifact_prefix=", 17) == 0 ||
                            std::strncmp((*argv)[i], "-exact_artifact_path=", 21) == 0;
    }
    if (!artifactPathGiven) {
        static std::string prefix = "-artifact_prefix=" + g_home + "/";
        static std::vector<char*> arguments(*argv, *argv + *argc);
        arguments.push_back(prefix.data());
        arguments.push_back(nullptr);
        *argc += 1;
        *argv = arguments.data();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    using namespace stats::fuzzing;
    // Every input starts from a fresh load in an empty directory.
    if (::chdir(g_directory.c_str()) != 0) {
        std::perror("export_sequence_fuzzer: private directory");
        std::abort();
    }
    stats::testing::ReloadModule();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(".", error)) {
        fs::remove_all(entry.path(), error);
    }
    FuzzInput in(data, size);
    Session(in).Run();
    stats::testing::ReloadModule();
    if (::chdir(g_home.c_str()) != 0) {
        std::abort();
    }
    return 0;
}
