// The exported functions of Stats.dll. Each one turns the host's long argument
// list into a small request for the module and answers the module's result.
// Nothing is thrown across the boundary: on any failure, out of memory
// included, an export gives its refusal or neutral result.
//
// The host passes a valid pointer at every used position; still, a null text
// reads as an empty text and a null date-time as a null date-time.
#include "plugin/stats_exports.h"

#include <string_view>

#include "log/ole_date_time.h"
#include "plugin/contest.h"
#include "plugin/module_instance.h"

namespace {

std::string_view Text(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

COleDateTime DateTime(const COleDateTime* value) {
    return value != nullptr ? *value : COleDateTime(0.0, COleDateTime::null);
}

stats::QsoReport MakeQsoReport(const char* ownCall, const char* workedCall,
                               const COleDateTime* qsoTime, unsigned int freqHz, const char* mode,
                               const char* rstSent, const char* rstRcvd, const char* exchSent,
                               const char* exchRcvd, const char* countryPrefix,
                               const char* auxText, const char* band) {
    stats::QsoReport qso;
    qso.ownCall = Text(ownCall);
    qso.workedCall = Text(workedCall);
    qso.qsoTime = DateTime(qsoTime);
    qso.freqHz = freqHz;
    qso.mode = Text(mode);
    qso.rstSent = Text(rstSent);
    qso.rstRcvd = Text(rstRcvd);
    qso.exchSent = Text(exchSent);
    qso.exchRcvd = Text(exchRcvd);
    qso.countryPrefix = Text(countryPrefix);
    qso.auxText = Text(auxText);
    qso.band = Text(band);
    return qso;
}

} // namespace

extern "C" {

// GetNumberOfSets: the number of contests the module scores; always 1.
int GetNumberOfSets() {
    return 1;
}

// GetSetName: the contest's name for index 0, an empty text for any other.
const char* GetSetName(int index) {
    return index == 0 ? stats::kContestName : "";
}

// GetExchgCount0 (StatsGetExchgCount0): always 1; reads none of its arguments.
int GetExchgCount0(const char*, const char*, const char*) {
    return 1;
}

// IsValidExchg0 (StatsIsValidExchg0): 1 when the exchange (argument 1) is five
// decimal digits and argument 7 is 0; else 0.
int IsValidExchg0(const char* exchange, const char*, const char*, const char*, int, int,
                  int refuse) {
    return refuse == 0 && stats::IsValidExchange(Text(exchange)) ? 1 : 0;
}

// SetupSet0: says in a message box that the contest has nothing to set up.
void SetupSet0() {
    try {
        stats::TheModule().SetupSet();
    } catch (...) {
    }
}

// ResetStats0: starts a pass. Argument 2 is the report mode (non-zero: the
// station details now and a Cabrillo file at GetResult0), argument 3 the own
// callsign. Always 1.
int ResetStats0(const char*, int reportMode, const char* ownCall, COleDateTime*, COleDateTime*,
                const char*, const char*, const char*, const char*, const char*, const char*,
                const char*, const char*, const char*, const char*, int, int, int, double, double,
                const char*, const char*, const char*) {
    try {
        stats::TheModule().ResetStats(reportMode, Text(ownCall));
    } catch (...) {
    }
    return 1;
}

// AddData0: one logged QSO. Arguments: 1 own call, 2 worked call, 3 date-time,
// 8 frequency in Hz, 9 mode, 10 report sent, 11 report received, 12 exchange
// sent, 13 exchange received, 23 country prefix, 30 further text, 32 band.
// 1 stored or already held, 0 refused.
int AddData0(const char* ownCall, const char* workedCall, COleDateTime* qsoTime, COleDateTime*,
             COleDateTime*, COleDateTime*, unsigned int, unsigned int freqHz, const char* mode,
             const char* rstSent, const char* rstRcvd, const char* exchSent, const char* exchRcvd,
             const char*, const char*, const char*, const char*, const char*, const char*,
             const char*, const char*, const char*, const char* countryPrefix, int, int, int,
             double, double, const char*, const char* auxText, const char*, const char* band,
             const char*) {
    try {
        return stats::TheModule().AddData(MakeQsoReport(ownCall, workedCall, qsoTime, freqHz, mode,
                                                        rstSent, rstRcvd, exchSent, exchRcvd,
                                                        countryPrefix, auxText, band));
    } catch (...) {
        return 0;
    }
}

// RemoveData0: takes a QSO out of the count; the same arguments as AddData0,
// of which 2 (worked call), 9 (mode) and 32 (band) find the record and 12 and
// 13 (exchanges) must not be empty. 1 handled, 0 refused.
int RemoveData0(const char* ownCall, const char* workedCall, COleDateTime* qsoTime, COleDateTime*,
                COleDateTime*, COleDateTime*, unsigned int, unsigned int freqHz, const char* mode,
                const char* rstSent, const char* rstRcvd, const char* exchSent,
                const char* exchRcvd, const char*, const char*, const char*, const char*,
                const char*, const char*, const char*, const char*, const char*,
                const char* countryPrefix, int, int, int, double, double, const char*,
                const char* auxText, const char*, const char* band, const char*) {
    try {
        return stats::TheModule().RemoveData(MakeQsoReport(ownCall, workedCall, qsoTime, freqHz,
                                                           mode, rstSent, rstRcvd, exchSent,
                                                           exchRcvd, countryPrefix, auxText, band));
    } catch (...) {
        return 0;
    }
}

// CheckCall0 (CheckCallFunc0): the callsign being entered (argument 1) in a
// mode (argument 4). 4 when the station was worked in this mode in the round
// that is running, with the warning in the buffer of argument 28; else 2.
// The buffer of argument 27 is never written.
int CheckCall0(const char* workedCall, unsigned int, unsigned int, const char* mode, const char*,
               const char*, const char*, const char*, const char*, const char*, const char*,
               const char*, const char*, const char*, int, int, int, double, double, const char*,
               const char*, const char*, const char*, const char*, const char*, const char*,
               char*, char* warningBuffer) {
    try {
        return stats::TheModule().CheckCall(Text(workedCall), Text(mode), warningBuffer);
    } catch (...) {
        return 2;
    }
}

// GetResult0: the score summary as text, owned by the module until the next
// call. *result gets the score, or -1 when a Cabrillo report was written.
const char* GetResult0(int* result) {
    try {
        return stats::TheModule().GetResult(result);
    } catch (...) {
        return "";
    }
}

} // extern "C"
