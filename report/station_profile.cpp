#include "report/station_profile.h"

#include "log/text.h"
#include "report/replace_all.h"

namespace stats {

std::string FileBaseFor(std::string_view ownCall) {
    const std::string replaced = ReplaceAll(ReplaceAll(ownCall, "/", "_"), "\\", "_");
    const std::string_view base = TrimWhiteSpace(replaced);
    return base.empty() ? std::string("ULMAK") : std::string(base);
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
    // The new details are made aside and take the profile's place whole, so
    // that running out of memory part-way leaves the profile as it was.
    const std::string call(ownCall);
    const auto read = [&](const char* key, const char* fallback) {
        return settings.Read(kSettingsFile, kSettingsSection, key, fallback);
    };
    StationProfile next;
    next.callsign = call;
    next.fileBase = FileBaseFor(ownCall);
    next.operators = read("Operators", call.c_str());
    next.name = read("Name", "");
    next.address = UnescapeLineBreaks(read("Address", ""));
    next.claimed = read("Claimed", "");
    next.contest = kStartingContest;
    next.category = kStartingCategory;
    next.email = read("Email", "");
    next.club = read("Club", "");
    next.soapbox = UnescapeLineBreaks(read("SoapBox", ""));

    StationDialogFields fields;
    fields.callsign = call;
    fields.operators = next.operators;
    fields.category = next.category;
    fields.name = next.name;
    fields.address = next.address;
    fields.claimed = next.claimed;
    fields.contest = next.contest;
    fields.email = next.email;
    fields.club = next.club;
    fields.soapbox = next.soapbox;

    const bool confirmed = dialog.Run(fields) == kDialogOk;
    if (confirmed) {
        // The claimed score is not taken back: the summary owns it.
        next.callsign = std::move(fields.callsign);
        next.operators = std::move(fields.operators);
        next.category = std::move(fields.category);
        next.name = std::move(fields.name);
        next.address = std::move(fields.address);
        next.contest = std::move(fields.contest);
        next.email = std::move(fields.email);
        next.club = std::move(fields.club);
        next.soapbox = std::move(fields.soapbox);
    }
    const std::string address = EscapeLineBreaks(next.address);
    const std::string soapbox = EscapeLineBreaks(next.soapbox);
    // A cancelled round trip leaves the settings file alone, but its address
    // and soapbox still need the keyword on every line of the Cabrillo header.
    next.soapbox = HeaderForm(soapbox, "SOAPBOX: ");
    next.address = HeaderForm(address, "ADDRESS: ");
    if (!confirmed) {
        next.cabrilloLines = std::move(profile.cabrilloLines);
    }
    profile = std::move(next);

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
    return confirmed ? 1 : 0;
}

} // namespace stats
