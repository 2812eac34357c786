#include "report/cabrillo.h"

#include <cstring>
#include <memory>

namespace stats {
namespace {

void AppendPadded(std::string& line, std::string_view text, std::size_t width, bool left) {
    const std::size_t fill = text.size() < width ? width - text.size() : 0;
    if (!left) {
        line.append(fill, ' ');
    }
    line.append(text);
    if (left) {
        line.append(fill, ' ');
    }
}

bool WriteText(std::FILE* out, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

} // namespace

const char* CabrilloModeCode(std::string_view mode) {
    if (mode == "CW") {
        return "CW";
    }
    if (mode == "BPSK63" || mode == "BPSK62") {
        return "PM";
    }
    if (mode == "SSB") {
        return "PH";
    }
    return "??";
}

std::string CabrilloDateTime(const COleDateTime& time) {
    CivilTime t;
    if (!ToCivilTime(time, t)) {
        return std::string();
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
}

std::string CabrilloQsoLine(std::string_view ownCall, std::string_view workedCall,
                            std::uint32_t freqKhz, std::string_view modeCode,
                            const COleDateTime& time, std::string_view rstSent,
                            std::string_view exchSent, std::string_view rstRcvd,
                            std::string_view exchRcvd) {
    std::string line = "QSO: ";
    AppendPadded(line, std::to_string(static_cast<int>(freqKhz)), 5, false);
    line += ' ';
    AppendPadded(line, modeCode, 2, false);
    line += ' ';
    line += CabrilloDateTime(time);
    line += ' ';
    AppendPadded(line, ownCall, 13, true);
    line += ' ';
    AppendPadded(line, rstSent, 3, true);
    line += ' ';
    AppendPadded(line, exchSent, 6, true);
    line += ' ';
    AppendPadded(line, workedCall, 13, true);
    line += ' ';
    AppendPadded(line, rstRcvd, 3, true);
    line += ' ';
    line.append(exchRcvd);
    line += "\r\n";
    return line;
}

void CollectCabrilloLines(StationProfile& profile, const QsoLog& log) {
    // Built afresh at every report, so each stored QSO is in the file once.
    // The lines are made aside, so that running out of memory leaves the
    // earlier ones.
    std::vector<std::string> lines;
    lines.reserve(log.size());
    for (const QsoRecord& r : log) {
        lines.push_back(CabrilloQsoLine(profile.callsign, r.call, r.freqKhz, CabrilloModeCode(r.mode),
                                        r.time, r.rstSent, r.exchSent, r.rstRcvd, r.exchRcvd));
    }
    profile.cabrilloLines.swap(lines);
}

std::string CabrilloHeader(const StationProfile& p, int claimedScore) {
    std::string h = "START-OF-LOG: 2.0\r\n";
    h += "CALLSIGN: " + p.callsign + "\r\n";
    h += "CATEGORY: " + p.category + "\r\n";
    h += "CLAIMED-SCORE: " + std::to_string(claimedScore) + "\r\n";
    h += "CLUB: " + p.club + "\r\n";
    h += "CONTEST: VELMORA\r\n";
    h += "CREATED-BY: Vestra \r\n";
    h += "NAME: " + p.name + "\r\n";
    h += "ADDRESS: " + p.address + "\r\n";
    h += "OPERATORS: " + p.operators + "\r\n";
    h += "EMAIL: " + p.email + "\r\n";
    h += "SOAPBOX: " + p.soapbox + "\r\n";
    return h;
}

bool WriteCabrillo(std::FILE* out, const StationProfile& profile, int claimedScore,
                   std::FILE* templ) {
    bool ok = WriteText(out, CabrilloHeader(profile, claimedScore));
    if (templ != nullptr) {
        char buffer[4096];
        std::size_t got;
        while (ok && (got = std::fread(buffer, 1, sizeof buffer, templ)) > 0) {
            ok = std::fwrite(buffer, 1, got, out) == got;
        }
    }
    for (const std::string& line : profile.cabrilloLines) {
        if (!ok) {
            break;
        }
        ok = WriteText(out, line);
    }
    ok = ok && WriteText(out, "END-OF-LOG:\r\n");
    return ok;
}

void WriteCabrilloFile(const StationProfile& profile, int claimedScore, FileSystem& files) {
    const std::string name = profile.fileBase + ".cbr";
    const std::string temporary = name + ".tmp";
    Stream out(files.Open(temporary, "wb"));
    if (out == nullptr) {
        return;
    }
    bool ok = false;
    try {
        Stream templ(files.Open(kCabrilloTemplate, "rb"));
        if (templ == nullptr) {
            // A missing template is left behind as an empty file; "ab" never
            // truncates one that exists but could not be read.
            Stream created(files.Open(kCabrilloTemplate, "ab"));
        }
        ok = WriteCabrillo(out.get(), profile, claimedScore, templ.get());
        templ.reset();
        ok = std::fflush(out.get()) == 0 && ok;
        ok = std::fclose(out.release()) == 0 && ok;
        ok = ok && files.Replace(temporary, name);
    } catch (...) {
        // Out of memory part-way: the streams are closed, the old file stays.
        out.reset();
        files.Remove(temporary);
        throw;
    }
    if (!ok) {
        files.Remove(temporary);
    }
}

} // namespace stats
