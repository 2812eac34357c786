// Home-country test and the callsign-to-region table.
#pragma once

#include <string_view>

namespace stats {

// True for the country prefixes of the home country: exactly "UA", "UA2" or "UA9".
bool IsHomeCountry(std::string_view countryPrefix);

// The two-letter region code of a home-country callsign, or nullptr when the
// callsign names no region.
const char* LookupRegion(std::string_view callsign);

// The key LookupRegion matches: the 2nd and 3rd characters when the 2nd byte
// has both bits 0x10 and 0x20 set, else the 3rd and 4th. Characters beyond
// the end are absent, so a short callsign gives a short key.
std::string_view RegionKey(std::string_view callsign);

} // namespace stats
