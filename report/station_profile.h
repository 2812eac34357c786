// The station's details for the Cabrillo header, kept between sessions in
// the settings file and reviewed in the station details dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"
#include "report/station_dialog.h"

namespace stats {

constexpr const char* kSettingsFile = "Plugins\\ULMAK.ini";
constexpr const char* kSettingsSection = "Settings";

// "ИНДИВИДУАЛЬНАЯ ПЕРВАЯ КАТЕГОРИЯ" in Windows-1251: the category every round
// trip starts from.
constexpr const char* kStartingCategory =
    "\xC8\xCD\xC4\xC8\xC2\xC8\xC4\xD3\xC0\xCB\xDC\xCD\xC0\xDF \xCF\xC5\xD0\xC2\xC0\xDF "
    "\xCA\xC0\xD2\xC5\xC3\xCE\xD0\xC8\xDF";
constexpr const char* kStartingContest = "VELMORA";

struct StationProfile {
    std::string callsign;
    std::string name;
    std::string address; // header form: every further line starts "ADDRESS: "
    std::string claimed; // only shown in the dialog
    std::string contest;
    std::string email;
    std::string club;
    std::string soapbox; // header form: every further line starts "SOAPBOX: "
    std::string operators;
    std::string category;
    std::string fileBase; // the Cabrillo file's name without ".cbr"
    std::vector<std::string> cabrilloLines;
};

// The Cabrillo file's base name for a host callsign: "/" and backslash made
// "_", white space trimmed at both ends, "ULMAK" when nothing is left.
std::string FileBaseFor(std::string_view ownCall);

// Line breaks of a settings value stored as "<CR>" and "<LF>", and back.
std::string EscapeLineBreaks(std::string_view text);
std::string UnescapeLineBreaks(std::string_view text);

// An escaped value made into header text: each "<CR>" starts a new line with
// the keyword ("ADDRESS: "), each "<LF>" is dropped.
std::string HeaderForm(std::string_view escaped, std::string_view keyword);

// Loads the details from the settings file, shows them in the dialog and, on
// OK, stores them back; 1 after OK, 0 otherwise. Either way the address and
// soapbox are left in header form for the Cabrillo file. When memory runs
// out part-way the profile is left as it was.
int EditStationDetails(StationProfile& profile, std::string_view ownCall, SettingsStore& settings,
                       StationDialog& dialog);

} // namespace stats
