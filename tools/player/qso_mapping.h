// From an ADIF record to the texts, date-time and numbers that the host
// passes to AddData0 for one QSO. Argument numbers are positions in the
// host's 33-argument QSO list.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "log/ole_date_time.h"
#include "tools/player/adif_reader.h"

namespace stats::player {

struct PlayedQso {
    std::string workedCall;    // 2: CALL
    COleDateTime time;         // 3: QSO_DATE and TIME_ON
    unsigned int freqHz = 0;   // 8: FREQ, 0 when the log has none
    std::string mode;          // 9: MODE and SUBMODE as the host names them
    std::string rstSent;       // 10: RST_SENT
    std::string rstRcvd;       // 11: RST_RCVD
    std::string exchSent;      // 12: STX_STRING, else STX
    std::string exchRcvd;      // 13: SRX_STRING, else SRX
    std::string countryPrefix; // 23: from DXCC, else from the callsign
    std::string band;          // 32: BAND, else the band of FREQ
};

// A record that does not give what the host always has (a callsign, a date
// and time, a band); the message names the record.
class MappingError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

PlayedQso MapQso(const AdifRecord& record);

// The host's mode name: CW gives "CW"; SSB (submodes USB, LSB) gives "SSB";
// PSK with submode PSK63 or BPSK63 gives "BPSK63"; any other mode comes as
// its submode, or as its mode when it has none, so the module refuses it.
std::string HostMode(std::string_view mode, std::string_view submode);

// A frequency in MHz (ADIF's decimal number) in Hz, rounded to the nearest
// Hz; false for anything that is no such number or does not fit 32 bits.
bool ParseFreqHz(std::string_view mhz, unsigned int& hz);

// The ADIF band ("160m", "70cm") that holds the frequency, or empty.
std::string BandOfFreq(unsigned int hz);

// The country prefix the host gives with a QSO. DXCC entity 54 (European
// Russia) gives "UA", 15 (Asiatic Russia) "UA9", 126 (Kaliningrad) "UA2",
// any other entity (0, no entity, included) an empty text. Without a DXCC
// field, or with one that is no entity number, the callsign decides
// (CountryPrefixOfCall).
std::string CountryPrefix(const std::string* dxcc, std::string_view call);

// Russia by its callsign blocks: the part before the first '/' begins with R
// or with UA to UI (any letter case). Its first digit then names the area: 2
// followed by F or K gives "UA2", 8, 9 and 0 give "UA9", any other "UA".
// Every other callsign gives an empty text.
std::string CountryPrefixOfCall(std::string_view call);

// The date-time the host passes: an OLE date of a calendar date and time.
COleDateTime OleDateTime(int year, int month, int day, int hour, int minute, int second);

// The own callsign of a log: the first STATION_CALLSIGN of its records,
// else the first OPERATOR; empty when it has neither.
std::string OwnCallOf(const AdifLog& log);

// The name the module gives the Cabrillo file of this own callsign.
std::string CabrilloFileName(std::string_view ownCall);

} // namespace stats::player
