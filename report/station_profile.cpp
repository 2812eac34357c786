#include "report/station_profile.h"

#include "report/replace_all.h"

namespace stats {
namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string FileBaseFor(std::string_view ownCall) {
    std::string base = ReplaceAll(ReplaceAll(ownCall, "/", "_"), "\\", "_");
    std::size_t first = 0;
    while (first < base.size() && IsWhiteSpace(base[first])) {
        ++first;
    }
    std::size_t last = base.size();
    while (last > first && IsWhiteSpace(base[last - 1])) {
        --last;
    }
    base = base.substr(first, last - first);
    return base.empty() ? std::string("ULMAK") : base;
}

std::string EscapeLineBreaks(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, "\r", "<CR>"), "\n", "<LF>");
}

std::string UnescapeLineBreaks(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, "<CR>", "\r"), "<LF>", "\n");
}

std::string HeaderForm(std::string_view escaped, std::string_view keyword) {
    return ReplaceAll(ReplaceAll(escaped, "<CR>", "\r\n" + std::string(keyword)), "<LF>", "");
}

int EditStationDetails(StationProfile& profile, std::string_view ownCall, SettingsStore& settings,
                       StationDialog& dialog) {
    const std::string call(ownCall);
    const auto read = [&](const char* key, const char* fallback) {
        return settings.Read(kSettingsFile, kSettingsSection, key, fallback);
    };
    profile.callsign = call;
    profile.fileBase = FileBaseFor(ownCall);
    profile.operators = read("Operators", call.c_str());
    profile.name = read("Name", "");
    profile.address = UnescapeLineBreaks(read("Address", ""));
    profile.claimed = read("Claimed", "");
    profile.contest = kStartingContest;
    profile.category = kStartingCategory;
    profile.email = read("Email", "");
    profile.club = read("Club", "");
    profile.soapbox = UnescapeLineBreaks(read("SoapBox", ""));

    StationDialogFields fields;
    fields.callsign = call;
    fields.operators = profile.operators;
    fields.category = profile.category;
    fields.name = profile.name;
    fields.address = profile.address;
    fields.claimed = profile.claimed;
    fields.contest = profile.contest;
    fields.email = profile.email;
    fields.club = profile.club;
    fields.soapbox = profile.soapbox;

    const bool confirmed = dialog.Run(fields) == kDialogOk;
    if (confirmed) {
        // The claimed score is not taken back: the summary owns it.
        profile.callsign = fields.callsign;
        profile.operators = fields.operators;
        profile.category = fields.category;
        profile.name = fields.name;
        profile.address = fields.address;
        profile.contest = fields.contest;
        profile.email = fields.email;
        profile.club = fields.club;
        profile.soapbox = fields.soapbox;
    }
    const std::string address = EscapeLineBreaks(profile.address);
    const std::string soapbox = EscapeLineBreaks(profile.soapbox);
    if (confirmed) {
        const auto write = [&](const char* key, const std::string& value) {
            settings.Write(kSettingsFile, kSettingsSection, key, value);
        };
        write("Operators", profile.operators);
        write("Name", profile.name);
        write("Address", address);
        write("Category", profile.category);
        write("Contest", profile.contest);
        write("Email", profile.email);
        write("Club", profile.club);
        write("SoapBox", soapbox);
    }
    // A cancelled round trip leaves the settings file alone, but its address
    // and soapbox still need the keyword on every line of the Cabrillo header.
    profile.soapbox = HeaderForm(soapbox, "SOAPBOX: ");
    profile.address = HeaderForm(address, "ADDRESS: ");
    if (confirmed) {
        profile.cabrilloLines.clear();
    }
    return confirmed ? 1 : 0;
}

} // namespace stats
