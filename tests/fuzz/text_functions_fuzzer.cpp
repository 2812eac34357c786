// The module's pure text functions on any bytes, each against a plain
// reference written here or a property it must keep: region lookup, text
// replacement and the line-break escapes of the settings file, file names,
// the Cabrillo QSO line, the rejection line and date-time texts, the band
// order, the exchange test and the repeat warning. Any break aborts.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "log/ole_date_time.h"
#include "log/qso_entry.h"
#include "log/qso_report.h"
#include "log/round_check.h"
#include "log/ubn_file.h"
#include "plugin/contest.h"
#include "region/region.h"
#include "report/cabrillo.h"
#include "report/replace_all.h"
#include "report/station_profile.h"
#include "scoring/band_order.h"
#include "tests/fuzz/fuzz_input.h"

namespace stats::fuzzing {
namespace {

[[noreturn]] void Broken(const char* what, int line) {
    std::fprintf(stderr, "text_functions_fuzzer:%d: broken: %s\n", line, what);
    std::abort();
}
#define REQUIRE(condition) ((condition) ? (void)0 : Broken(#condition, __LINE__))

// The region table written out again, row by row: code, then its keys.
constexpr const char* kRegionRows =
    "SP:1A1B1F LO:1C1D AR:1O VO:1Q MU:1Z NV:1T PS:1W KL:1N NO:1P KA:2F2K KO:8X9X BO:2Z3Z5Z "
    "BR:2Y3Y5Y VL:2V3V5V VR:2Q3Q5Q2O3O5O3K5K IV:2U3U5U KG:2X3X5X KS:2N3N5N KU:2W3W5W "
    "LP:2G3G5G MA:2A3A5A2B3B5B2C3C5C MO:2D3D5D2H3H5H3F5F OR:2E3E5E RA:2S3S5S SM:2L3L5L "
    "TB:2R3R5R TV:2I3I5I TL:2P3P5P JA:2M3M5M AD:6Y7Y DA:6W7W CN:6P7P6R7R KR:6A7A6B7B6C7C6D7D "
    "IN:6Q7Q KB:6X7X KM:6I7I KC:6E7E SO:6J7J AO:6U7U ST:6H7H6F7F7G6G RO:6L7L6M7M6N7N VG:4A4B "
    "NN:2T3T5T BA:8W9W OB:8S8T9S9T MR:4S MD:4U PE:4F TA:4P4Q4R PM:8F8G9F9G UD:4W SR:4H4I CU:4Y "
    "SA:4C4D UL:4L4M KI:4N KN:8Q8R9Q9R CB:8A8B9A9B SV:8C8D9C9D HM:8J9J TN:8L9L JN:8K9K GA:8Z9Z "
    "KE:8U9U NS:8O9O AL:8Y9Y OM:8M8N9M9N TO:8H8I9H9I BU:0O TU:0Y HA:0W CT:0U KK:0A0B0H AB:8V0V "
    "IR:0S0T UO:0R YA:0Q PK:0L HK:0C AM:0J KT:0Z MG:0I EA:0D KJ:0X CK:0K SL:0F0E";

const std::map<std::string, std::string>& ReferenceRegions() {
    static const std::map<std::string, std::string> byKey = [] {
        std::map<std::string, std::string> keys;
        for (const char* p = kRegionRows; *p != '\0';) {
            const std::string code(p, 2);
            p += 3;
            while (*p != ' ' && *p != '\0') {
                keys.emplace(std::string(p, 2), code); // the first row wins
                p += 2;
            }
            while (*p == ' ') {
                ++p;
            }
        }
        return keys;
    }();
    return byKey;
}

// The key: 2nd and 3rd characters when the 2nd byte has bits 0x30 set, else
// the 3rd and 4th; characters past the end are missing.
std::string ReferenceKey(std::string_view call) {
    if (call.size() < 2) {
        return std::string();
    }
    const std::size_t start = (static_cast<unsigned char>(call[1]) & 0x30) == 0x30 ? 1 : 2;
    return start < call.size() ? std::string(call.substr(start, 2)) : std::string();
}

void CheckRegion(const std::string& call, const std::string& prefix) {
    REQUIRE(RegionKey(call) == ReferenceKey(call));
    const char* code = LookupRegion(call);
    const auto& table = ReferenceRegions();
    const auto it = table.find(ReferenceKey(call));
    if (it == table.end()) {
        REQUIRE(code == nullptr);
    } else {
        REQUIRE(code != nullptr && it->second == code);
    }
    REQUIRE(IsHomeCountry(prefix) == (prefix == "UA" || prefix == "UA2" || prefix == "UA9"));
}

// Left to right, no overlaps, replaced text not searched again.
std::string ReferenceReplace(const std::string& source, const std::string& search,
                             const std::string& replacement, int& count) {
    std::string out;
    count = 0;
    std::size_t i = 0;
    while (i < source.size()) {
        if (source.compare(i, search.size(), search) == 0) {
            out += replacement;
            i += search.size();
            ++count;
        } else {
            out += source[i++];
        }
    }
    return out;
}

void CheckReplace(const std::string& source, const std::string& search,
                  const std::string& replacement) {
    if (search.empty()) {
        return; // not a valid search
    }
    int counter = -7;
    const std::string got = ReplaceAll(source, search, replacement, &counter);
    if (search == replacement) {
        REQUIRE(got == source);
        REQUIRE(counter == -7);
        return;
    }
    int count = 0;
    REQUIRE(got == ReferenceReplace(source, search, replacement, count));
    REQUIRE(counter == count);
    REQUIRE(ReplaceAll(source, search, replacement) == got);
}

void CheckLineBreaks(const std::string& text) {
    const std::string escaped = EscapeLineBreaks(text);
    REQUIRE(escaped.find_first_of("\r\n") == std::string::npos);
    if (text.find("<CR>") == std::string::npos && text.find("<LF>") == std::string::npos) {
        REQUIRE(UnescapeLineBreaks(escaped) == text);
    }
    // Header form: each line after the first starts with the keyword.
    const std::string header = HeaderForm(escaped, "ADDRESS: ");
    for (std::size_t at = 0; at < header.size(); ++at) {
        if (header[at] == '\r') {
            REQUIRE(header.compare(at, 11, "\r\nADDRESS: ") == 0);
        } else if (header[at] == '\n') {
            REQUIRE(at > 0 && header[at - 1] == '\r');
        }
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void CheckFileNames(const std::string& call) {
    const std::string base = FileBaseFor(call);
    REQUIRE(!base.empty());
    REQUIRE(base.find_first_of("/\\") == std::string::npos);
    REQUIRE(!IsBlank(base.front()) && !IsBlank(base.back()));
    std::string plain = call;
    std::replace(plain.begin(), plain.end(), '/', '_');
    std::replace(plain.begin(), plain.end(), '\\', '_');
    REQUIRE(base == "ULMAK" || plain.find(base) != std::string::npos);
    const std::string ubn = UbnFileName(call);
    REQUIRE(ubn == plain + "-ubn.txt");
    REQUIRE(UbnHeader(call) == "Kestrun TEST UBN file " + call + "\n\n");
}

// Date-time texts: the calendar fields in range, the two layouts agreeing.
void CheckDateTime(const COleDateTime& time) {
    CivilTime t;
    const bool valid = ToCivilTime(time, t);
    REQUIRE(!valid || time.GetStatus() == COleDateTime::valid);
    const std::string cabrillo = CabrilloDateTime(time);
    const std::string rejection = RejectionDateTimeText(time);
    REQUIRE(time.GetHour() == (valid ? t.hour : -1));
    REQUIRE(time.GetMinute() == (valid ? t.minute : -1));
    if (!valid) {
        REQUIRE(cabrillo.empty() && rejection.empty());
        return;
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    REQUIRE(t.year >= 100 && t.year <= 9999);
    REQUIRE(t.month >= 1 && t.month <= 12);
    REQUIRE(t.day >= 1 && t.day <= kDays[t.month - 1]);
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    REQUIRE(!(t.month == 2 && t.day == 29) || leap);
    REQUIRE(t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
            t.second <= 59);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d%02d", t.year, t.month, t.day,
                  t.hour, t.minute);
    REQUIRE(cabrillo == expected);
    const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0;
    REQUIRE(rejection == (midnight ? cabrillo.substr(0, 10) : cabrillo));
}

void CheckQsoLine(FuzzInput& in) {
    // Host texts end at their NUL, as the printf reference does.
    const auto text = [&](std::size_t length) {
        std::string bytes = in.Bytes(length);
        bytes.resize(std::strlen(bytes.c_str()));
        return bytes;
    };
    const std::string own = text(20), call = text(20), rstSent = text(5), exchSent = text(8),
                      rstRcvd = text(5), exchRcvd = text(8), mode = text(8);
    const std::uint32_t khz = in.U32() % 4294968;
    const COleDateTime time(41000.0 + in.U32() / 86400.0, COleDateTime::valid);
    const char* code = CabrilloModeCode(mode);
    const char* want = mode == "CW"                           ? "CW"
                       : mode == "BPSK63" || mode == "BPSK62" ? "PM"
                       : mode == "SSB"                        ? "PH"
                                                              : "??";
    REQUIRE(std::strcmp(code, want) == 0);
    const std::string date = CabrilloDateTime(time);
    const std::string line =
        CabrilloQsoLine(own, call, khz, code, time, rstSent, exchSent, rstRcvd, exchRcvd);
    std::vector<char> expected(line.size() + 64);
    const int n = std::snprintf(
        expected.data(), expected.size(), "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n",
        static_cast<int>(khz), code, date.c_str(), own.c_str(), rstSent.c_str(), exchSent.c_str(),
        call.c_str(), rstRcvd.c_str(), exchRcvd.c_str());
    if (n < 0 || line != expected.data()) {
        std::fprintf(stderr, "line:     [%s]\nexpected: [%s]\n", line.c_str(), expected.data());
    }
    REQUIRE(n >= 0 && static_cast<std::size_t>(n) == line.size());
    REQUIRE(line == expected.data());

    // The rejection line of the same QSO, part by part.
    QsoReport q;
    q.ownCall = own;
    q.workedCall = call;
    q.qsoTime = time;
    q.freqHz = khz * 1000 + in.Byte() % 250;
    q.mode = mode;
    q.rstSent = rstSent;
    q.rstRcvd = rstRcvd;
    q.exchSent = exchSent;
    q.exchRcvd = exchRcvd;
    const std::string_view reason = in.Bit() ? kReasonNoContestMode : kReasonNoRxNumber;
    const std::string rejection = "QSO: " + std::to_string(khz) + "  " + mode + "  " +
                                  RejectionDateTimeText(time) + "  " + own + "  " + rstSent + "  " +
                                  exchSent + "  " + call + "  " + rstRcvd + "  " + exchRcvd +
                                  std::string(reason);
    REQUIRE(RejectionLine(q, reason) == rejection);
}

// The exchange sort of the band order, as it stands.
void CheckBandOrder(std::vector<std::string> names) {
    const auto key = [](const std::string& name) {
        return name.size() >= 20 ? name : std::string(20 - name.size(), '0') + name;
    };
    std::vector<std::string> expected = names;
    for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
        for (std::size_t j = i + 1; j < expected.size(); ++j) {
            if (key(expected[i]) < key(expected[j])) {
                std::swap(expected[i], expected[j]);
            }
        }
    }
    for (const std::string& name : names) {
        REQUIRE(BandSortKey(name) == key(name));
    }
    OrderBands(names);
    REQUIRE(names == expected);
}

void CheckExchangeAndWarning(const std::string& text) {
    const bool digits = text.size() == 5 && std::all_of(text.begin(), text.end(), [](char c) {
                            return c >= '0' && c <= '9';
                        });
    REQUIRE(IsValidExchange(text) == digits);
    REQUIRE(IsContestMode(text) ==
            (text == "CW" || text == "SSB" || text == "BPSK63" || text == "BPSK62"));
    const std::string warning = RepeatWarning(text);
    REQUIRE(warning.size() <= kWarningCapacity - 1);
    REQUIRE(warning.compare(0, 6, "QSO c ") == 0);
    const std::size_t room = kWarningCapacity - 1 - 6 - 43;
    REQUIRE(warning.compare(6, std::min(text.size(), room), text, 0, room) == 0);
    REQUIRE(warning.size() == 6 + std::min(text.size(), room) + 43);
    REQUIRE(warning.compare(warning.size() - 4, 4, " !!!") == 0);
}

// Texts for the properties: a few meaningful pieces mixed with raw bytes.
std::string Piece(FuzzInput& in) {
    static const char* const kPieces[] = {"<CR>", "<LF>", "\r", "\n", "<", "CR>",  "/", "\\",
                                          " ",    "\t",   "UA", "3",  "A", "160m", "0", "m"};
    std::string text;
    const std::size_t parts = in.Byte() % 8;
    for (std::size_t i = 0; i < parts; ++i) {
        text += in.Bit() ? std::string(kPieces[in.Below(std::size(kPieces))]) : in.Bytes(6);
    }
    return text;
}

} // namespace
} // namespace stats::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace stats::fuzzing;
    FuzzInput in(data, size);
    for (int step = 0; step < 64 && !in.Done(); ++step) {
        switch (in.Byte() % 8) {
        case 0: {
            const std::string call = Piece(in);
            CheckRegion(call, Piece(in));
            break;
        }
        case 1: {
            const std::string source = Piece(in);
            const std::string search = Piece(in);
            CheckReplace(source, search, Piece(in));
            break;
        }
        case 2:
            CheckLineBreaks(Piece(in));
            break;
        case 3:
            CheckFileNames(Piece(in));
            break;
        case 4: {
            COleDateTime time(in.Double(), COleDateTime::valid);
            if (in.Bit()) {
                time.m_dt = static_cast<double>(static_cast<std::int32_t>(in.U32()) % 3700000) +
                            in.U32() / 4294967296.0;
            }
            time.m_status = in.Byte() < 200 ? 0 : in.I32();
            CheckDateTime(time);
            break;
        }
        case 5:
            CheckQsoLine(in);
            break;
        case 6: {
            std::vector<std::string> names(in.Byte() % 12);
            for (std::string& name : names) {
                name = in.Bit() ? Piece(in) : in.Bytes(24);
            }
            CheckBandOrder(names);
            break;
        }
        default:
            CheckExchangeAndWarning(in.Bit() ? Piece(in) : in.Bytes(300));
            break;
        }
    }
    return 0;
}
