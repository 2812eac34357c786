#include "bench/reference/reference_module.h"

#include <cstring>

#include "region/region.h"
#include "report/cabrillo.h"
#include "report/replace_all.h"

namespace stats::reference {
namespace {

const char* const kSettingsFile = "Plugins\\ULMAK.ini";
const char* const kSection = "Settings";

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && IsWhiteSpace(text[first])) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && IsWhiteSpace(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// printf into a std::string of whatever length the values need.
template <typename... Args> std::string Format(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The locale's date-time text in the layout DD.MM.YYYY H:MM:SS, the date alone
// at midnight, empty for a value that is not a date-time.
std::string LocaleDateTimeText(const COleDateTime& time) {
    CivilTime t;
    if (!ToCivilTime(time, t)) {
        return std::string();
    }
    if (t.hour == 0 && t.minute == 0 && t.second == 0) {
        return Format("%02d.%02d.%04d", t.day, t.month, t.year);
    }
    return Format("%02d.%02d.%04d %d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                  t.second);
}

// Fifteen positions picked from the locale text; the text ends at the first
// position that lies beyond the end of it.
std::string RejectionDateTime(const COleDateTime& time) {
    const std::string s = LocaleDateTimeText(time);
    const auto at = [&](std::size_t i) { return i < s.size() ? s[i] : '\0'; };
    char t[16];
    t[0] = at(6);
    t[1] = at(7);
    t[2] = at(8);
    t[3] = at(9);
    t[4] = '-';
    t[5] = at(3);
    t[6] = at(4);
    t[7] = '-';
    t[8] = at(0);
    t[9] = at(1);
    t[10] = at(10);
    if (at(12) == ':') {
        t[11] = '0';
        t[12] = at(11);
        t[13] = at(13);
        t[14] = at(14);
    } else {
        t[11] = at(11);
        t[12] = at(12);
        t[13] = at(14);
        t[14] = at(15);
    }
    t[15] = '\0';
    return std::string(t); // up to the first end of text
}

// 0, 1 or 2 for the minute's window; -1 for minute 59 (and anything else).
int Window(int minute) {
    if (minute >= 0 && minute <= 19) {
        return 0;
    }
    if (minute >= 20 && minute <= 39) {
        return 1;
    }
    if (minute >= 40 && minute <= 58) {
        return 2;
    }
    return -1;
}

} // namespace

ReferenceModule::~ReferenceModule() {
    if (ubnFile_ != nullptr) {
        std::fclose(ubnFile_);
    }
}

bool ReferenceModule::Equal(const Record& a, const Record& b) {
    if (a.call != b.call) {
        return false;
    }
    if (a.pairCall != b.pairCall) {
        return false;
    }
    if (a.auxText != b.auxText) {
        return false;
    }
    if (a.band != b.band) {
        return false;
    }
    if (a.mode != b.mode) {
        return false;
    }
    if (a.rstRcvd != b.rstRcvd) {
        return false;
    }
    if (a.rstSent != b.rstSent) {
        return false;
    }
    if (a.exchRcvd != b.exchRcvd) {
        return false;
    }
    if (a.exchSent != b.exchSent) {
        return false;
    }
    if (a.region != b.region) {
        return false;
    }
    if (a.freqKhz != b.freqKhz) {
        return false;
    }
    return a.time.m_status == b.time.m_status && a.time.m_dt == b.time.m_dt;
}

int ReferenceModule::ResetStats(int reportMode, std::string_view ownCall) {
    if (!checkerLaunched_) {
        platform_.launcher.Start(".\\Plugins\\Ext_kestrun.exe");
        checkerLaunched_ = true;
    }
    log_.clear();
    bands_.clear();
    reportMode_ = reportMode;

    if (ubnFile_ != nullptr) {
        std::fclose(ubnFile_);
    }
    // "/" and backslash in a portable call would name a folder.
    std::string name(ownCall);
    for (char& c : name) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    ubnFile_ = platform_.files.Open(name + "-ubn.txt", "w");
    if (ubnFile_ != nullptr) {
        const std::string header = "Kestrun TEST UBN file " + std::string(ownCall) + "\n\n";
        std::fwrite(header.data(), 1, header.size(), ubnFile_);
        std::fflush(ubnFile_);
    }

    if (reportMode_ != 0) {
        EditStationDetails(ownCall);
    }
    return 1;
}

void ReferenceModule::WriteRejection(const QsoReport& q, const char* reason) {
    if (ubnFile_ == nullptr) {
        return;
    }
    const std::string dateTime = RejectionDateTime(q.qsoTime);
    std::string line = Format("QSO: %i", static_cast<int>(q.freqHz / 1000));
    for (const std::string_view part : {q.mode, std::string_view(dateTime), q.ownCall, q.rstSent,
                                        q.exchSent, q.workedCall, q.rstRcvd}) {
        line += "  ";
        line.append(part);
    }
    line += "  ";
    line.append(q.exchRcvd);
    line += reason;
    std::fwrite(line.data(), 1, line.size(), ubnFile_);
    std::fflush(ubnFile_);
}

int ReferenceModule::AddData(const QsoReport& q) {
    const std::uint32_t freqKhz = q.freqHz / 1000;
    const COleDateTime time = q.qsoTime;

    if (q.mode != "CW" && q.mode != "BPSK63" && q.mode != "BPSK62" && q.mode != "SSB") {
        WriteRejection(q, " No contest mode \n");
        return 0;
    }
    if (q.exchRcvd.empty() || q.exchSent.empty()) {
        WriteRejection(q, "No RX number\n");
        return 0;
    }

    bool known = false;
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        if (bands_[i] == q.band) {
            known = true;
            break;
        }
    }
    if (!known) {
        bands_.emplace_back(q.band);
    }

    Record r;
    r.call = std::string(q.workedCall);
    r.pairCall = std::string(q.workedCall);
    r.auxText = std::string(q.auxText);
    r.band = std::string(q.band);
    r.mode = std::string(q.mode);
    r.rstRcvd = std::string(q.rstRcvd);
    r.rstSent = std::string(q.rstSent);
    r.exchRcvd = std::string(q.exchRcvd);
    r.exchSent = std::string(q.exchSent);
    r.freqKhz = freqKhz;
    r.time = time;

    if (IsHomeCountry(q.countryPrefix)) {
        const char* code = LookupRegion(q.workedCall);
        if (code == nullptr) {
            return 0;
        }
        std::string region(code);
        for (char& c : region) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        r.region = Trim(region);
    }

    for (std::size_t i = 0; i < log_.size(); ++i) {
        if (Equal(log_[i], r)) {
            return 1;
        }
    }
    log_.push_back(r);
    return 1;
}

int ReferenceModule::RemoveData(const QsoReport& q) {
    if (q.exchRcvd.empty() || q.exchSent.empty()) {
        return 0;
    }
    for (std::size_t i = 0; i < log_.size(); ++i) {
        if (log_[i].call == q.workedCall && log_[i].mode == q.mode && log_[i].band == q.band) {
            log_.erase(log_.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    return 1;
}

int ReferenceModule::CheckCall(std::string_view workedCall, std::string_view mode,
                               char* warningBuffer) {
    for (std::size_t i = 0; i < log_.size(); ++i) {
        const Record& r = log_[i];
        if (r.call != workedCall) {
            continue;
        }
        if (r.mode != mode) {
            continue;
        }
        const CivilTime now = platform_.clock.NowUtc();
        CivilTime t;
        if (!ToCivilTime(r.time, t)) {
            continue; // no hour, no minute
        }
        if (t.year != now.year || t.month != now.month || t.day != now.day || t.hour != now.hour) {
            continue;
        }
        const int window = Window(t.minute);
        if (window < 0 || window != Window(now.minute)) {
            continue;
        }
        // " В ОДНОМ И ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!" in Windows-1251.
        const std::string tail =
            " \xC2 \xCE\xC4\xCD\xCE\xCC \xC8 \xD2\xCE\xCC \xC6\xC5 \xD2\xD3\xD0\xC5 "
            "\xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC \xCD\xC5\xCB\xDC\xC7\xDF !!!";
        std::string call(workedCall);
        // 256 bytes with the NUL at most; a callsign too long for that is cut.
        const std::size_t room = 255 - std::strlen("QSO c ") - tail.size();
        if (call.size() > room) {
            call.resize(room);
        }
        const std::string warning = "QSO c " + call + tail;
        std::memcpy(warningBuffer, warning.c_str(), warning.size() + 1);
        return 4;
    }
    return 2;
}

void ReferenceModule::OrderBands() {
    const std::size_t k = bands_.size();
    for (std::size_t i = 0; i + 1 < k; ++i) {
        for (std::size_t j = i + 1; j < k; ++j) {
            std::string keyI = bands_[i];
            std::string keyJ = bands_[j];
            while (keyI.size() < 20) {
                keyI.insert(keyI.begin(), '0');
            }
            while (keyJ.size() < 20) {
                keyJ.insert(keyJ.begin(), '0');
            }
            if (std::strcmp(keyI.c_str(), keyJ.c_str()) < 0) {
                std::swap(bands_[i], bands_[j]);
            }
        }
    }
}

const char* ReferenceModule::GetResult(int* result) {
    summaryText_.clear();
    const std::size_t n = log_.size();
    summaryText_ += "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\n";
    OrderBands();

    int totalPoints = 0;
    int totalCw = 0;
    int totalSsb = 0;
    for (std::size_t b = 0; b < bands_.size(); ++b) {
        const std::string& band = bands_[b];
        int qsos = 0;
        int cw = 0;
        int ssb = 0;
        int regions = 0;
        int pairs = 0;
        std::vector<std::string> regionList;
        std::vector<std::string> pairCalls;
        std::vector<std::string> pairModes;
        for (std::size_t i = 0; i < n; ++i) {
            const Record& r = log_[i];
            if (r.band != band || r.call.empty()) {
                continue;
            }
            ++qsos;
            if (r.mode == "CW") {
                ++cw;
            }
            if (r.mode == "SSB") {
                ++ssb;
            }
            if (!r.region.empty()) {
                bool seen = false;
                for (std::size_t j = 0; j < regionList.size(); ++j) {
                    if (regionList[j] == r.region) {
                        seen = true;
                        break;
                    }
                }
                if (!seen) {
                    regionList.push_back(r.region);
                    ++regions;
                }
            }
            bool seen = false;
            for (std::size_t j = 0; j < pairCalls.size(); ++j) {
                if (pairCalls[j] == r.pairCall && pairModes[j] == r.mode) {
                    seen = true;
                    break;
                }
            }
            if (!seen) {
                pairCalls.push_back(r.pairCall);
                pairModes.push_back(r.mode);
                ++pairs;
            }
        }
        const int m = band == "160m" ? 2 : 1;
        const int points = 3 * regions + m * qsos + 5 * pairs;
        summaryText_ += Format("%s\t %i\t %i\t %i\t %i\r\n", band.c_str(), qsos, points, cw, ssb);
        totalPoints += points;
        totalCw += cw;
        totalSsb += ssb;
    }
    summaryText_ += Format("Total\t %i\t %i\t %i\t %i\r\n", static_cast<int>(n), totalPoints,
                           totalCw, totalSsb);
    summaryText_ += Format("Score\t %i\r\n", totalPoints);

    claimedScore_ = totalPoints;
    *result = claimedScore_;
    platform_.settings.Write(kSettingsFile, kSection, "Claimed", Format("%i", claimedScore_));

    if (reportMode_ != 0) {
        // Built afresh at every report: each stored QSO once.
        profile_.cabrilloLines.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Record& r = log_[i];
            profile_.cabrilloLines.push_back(
                CabrilloQsoLine(profile_.callsign, r.call, r.freqKhz, CabrilloModeCode(r.mode),
                                r.time, r.rstSent, r.exchSent, r.rstRcvd, r.exchRcvd));
        }
        WriteCabrilloFile();
        *result = -1;
    }
    return summaryText_.c_str();
}

int ReferenceModule::EditStationDetails(std::string_view ownCall) {
    Profile& p = profile_;
    const std::string call(ownCall);
    const auto read = [&](const char* key, const std::string& fallback) {
        return platform_.settings.Read(kSettingsFile, kSection, key, fallback.c_str());
    };
    p.callsign = call;
    p.fileBase = Trim(ReplaceAll(ReplaceAll(call, "/", "_"), "\\", "_"));
    if (p.fileBase.empty()) {
        p.fileBase = "ULMAK";
    }
    p.operators = read("Operators", call);
    p.name = read("Name", "");
    p.address = ReplaceAll(ReplaceAll(read("Address", ""), "<CR>", "\r"), "<LF>", "\n");
    p.claimed = read("Claimed", "");
    p.contest = "VELMORA";
    // "ИНДИВИДУАЛЬНАЯ ПЕРВАЯ КАТЕГОРИЯ" in Windows-1251.
    p.category =
        "\xC8\xCD\xC4\xC8\xC2\xC8\xC4\xD3\xC0\xCB\xDC\xCD\xC0\xDF \xCF\xC5\xD0\xC2\xC0\xDF "
        "\xCA\xC0\xD2\xC5\xC3\xCE\xD0\xC8\xDF";
    p.email = read("Email", "");
    p.club = read("Club", "");
    p.soapbox = ReplaceAll(ReplaceAll(read("SoapBox", ""), "<CR>", "\r"), "<LF>", "\n");

    StationDialogFields fields;
    fields.callsign = call;
    fields.operators = p.operators;
    fields.category = p.category;
    fields.name = p.name;
    fields.address = p.address;
    fields.claimed = p.claimed;
    fields.contest = p.contest;
    fields.email = p.email;
    fields.club = p.club;
    fields.soapbox = p.soapbox;
    if (platform_.dialog.Run(fields) != 1) {
        // Like the module, a cancelled round trip still gives the Cabrillo
        // header the keyword on every line of the address and soapbox.
        p.soapbox =
            ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(p.soapbox, "\r", "<CR>"), "\n", "<LF>"),
                                  "<CR>", "\r\nSOAPBOX: "),
                       "<LF>", "");
        p.address =
            ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(p.address, "\r", "<CR>"), "\n", "<LF>"),
                                  "<CR>", "\r\nADDRESS: "),
                       "<LF>", "");
        return 0;
    }
    p.callsign = fields.callsign;
    p.operators = fields.operators;
    p.category = fields.category;
    p.name = fields.name;
    p.address = fields.address;
    p.contest = fields.contest;
    p.email = fields.email;
    p.club = fields.club;
    p.soapbox = fields.soapbox;

    p.address = ReplaceAll(ReplaceAll(p.address, "\r", "<CR>"), "\n", "<LF>");
    p.soapbox = ReplaceAll(ReplaceAll(p.soapbox, "\r", "<CR>"), "\n", "<LF>");

    const auto write = [&](const char* key, const std::string& value) {
        platform_.settings.Write(kSettingsFile, kSection, key, value);
    };
    write("Operators", p.operators);
    write("Name", p.name);
    write("Address", p.address);
    write("Category", p.category);
    write("Contest", p.contest);
    write("Email", p.email);
    write("Club", p.club);
    write("SoapBox", p.soapbox);

    p.soapbox = ReplaceAll(ReplaceAll(p.soapbox, "<CR>", "\r\nSOAPBOX: "), "<LF>", "");
    p.address = ReplaceAll(ReplaceAll(p.address, "<CR>", "\r\nADDRESS: "), "<LF>", "");
    p.cabrilloLines.clear();
    return 1;
}

void ReferenceModule::WriteCabrilloFile() {
    const Profile& p = profile_;
    std::FILE* out = platform_.files.Open(p.fileBase + ".cbr", "wb");
    std::FILE* templ = platform_.files.Open("cabrillo.ini", "rb");
    if (templ == nullptr) {
        // Opening a missing template creates it empty.
        if (std::FILE* created = platform_.files.Open("cabrillo.ini", "ab")) {
            std::fclose(created);
        }
        templ = platform_.files.Open("cabrillo.ini", "rb");
    }
    if (out != nullptr) {
        std::string header = "START-OF-LOG: 2.0\r\n";
        header += "CALLSIGN: " + p.callsign + "\r\n";
        header += "CATEGORY: " + p.category + "\r\n";
        header += "CLAIMED-SCORE: " + Format("%i", claimedScore_) + "\r\n";
        header += "CLUB: " + p.club + "\r\n";
        header += "CONTEST: VELMORA\r\n";
        header += "CREATED-BY: Vestra \r\n";
        header += "NAME: " + p.name + "\r\n";
        header += "ADDRESS: " + p.address + "\r\n";
        header += "OPERATORS: " + p.operators + "\r\n";
        header += "EMAIL: " + p.email + "\r\n";
        header += "SOAPBOX: " + p.soapbox + "\r\n";
        std::fwrite(header.data(), 1, header.size(), out);
    }
    if (templ != nullptr) {
        for (int c = std::fgetc(templ); c != EOF; c = std::fgetc(templ)) {
            if (out != nullptr) {
                std::fputc(c, out);
            }
        }
        std::fclose(templ);
    }
    if (out != nullptr) {
        for (std::size_t i = 0; i < p.cabrilloLines.size(); ++i) {
            std::fwrite(p.cabrilloLines[i].data(), 1, p.cabrilloLines[i].size(), out);
        }
        std::fputs("END-OF-LOG:\r\n", out);
        std::fflush(out);
        std::fclose(out);
    }
}

} // namespace stats::reference
