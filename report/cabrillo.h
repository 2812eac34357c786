// The Cabrillo 2.0 log: header, the template's bytes, one line per QSO.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "log/ole_date_time.h"
#include "log/qso_log.h"
#include "platform/file_system.h"
#include "report/station_profile.h"

namespace stats {

constexpr const char* kCabrilloTemplate = "cabrillo.ini";

// "CW", "PM" for both BPSK modes, "PH" for SSB, "??" for anything else.
const char* CabrilloModeCode(std::string_view mode);

// "YYYY-MM-DD HHMM"; empty for a value that names no date-time.
std::string CabrilloDateTime(const COleDateTime& time);

// "QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n" with the own call from
// the profile; widths are minimum widths, nothing is cut.
std::string CabrilloQsoLine(std::string_view ownCall, std::string_view workedCall,
                            std::uint32_t freqKhz, std::string_view modeCode,
                            const COleDateTime& time, std::string_view rstSent,
                            std::string_view exchSent, std::string_view rstRcvd,
                            std::string_view exchRcvd);

// Fills the profile's line list afresh, one line per stored QSO in log order.
void CollectCabrilloLines(StationProfile& profile, const QsoLog& log);

// The twelve header lines.
std::string CabrilloHeader(const StationProfile& profile, int claimedScore);

// Writes the whole log to `out`: header, the template's bytes (when there is a
// template), the QSO lines, "END-OF-LOG:". False when a write failed.
bool WriteCabrillo(std::FILE* out, const StationProfile& profile, int claimedScore,
                   std::FILE* templ);

// Writes fileBase + ".cbr" through a temporary file beside it, so that the
// old file is replaced only by a complete new one. A missing template is
// created empty.
void WriteCabrilloFile(const StationProfile& profile, int claimedScore, FileSystem& files);

} // namespace stats
