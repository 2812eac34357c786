// Calls of the QSO exports with their full argument lists, as the host makes
// them; used by the native tests (direct calls) and the test host under Wine
// (pointers from GetProcAddress) alike.
#pragma once

#include <cstdint>
#include <string>

#include "log/ole_date_time.h"

namespace stats::testing {

// A calendar date-time as an OLE date (days since 30 December 1899).
inline COleDateTime OleTime(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0) {
    // Days from 1970-01-01 (H. Hinnant's days_from_civil).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double days = era * 146097.0 + doe - 719468 + 25569;
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    return COleDateTime(days >= 0 ? days + time : days - time, COleDateTime::valid);
}

// One QSO with every used argument; the unused positions get junk, which
// the module must ignore.
struct HostQso {
    std::string ownCall = "UA3AAA";
    std::string workedCall = "RA3ABC";
    COleDateTime time = OleTime(2012, 9, 12, 10, 5, 0);
    unsigned int freqHz = 3550000;
    std::string mode = "CW";
    std::string rstSent = "599";
    std::string rstRcvd = "599";
    std::string exchSent = "00101";
    std::string exchRcvd = "00202";
    std::string countryPrefix = "UA";
    std::string auxText = "";
    std::string band = "80m";
};

template <typename QsoExport> int CallQsoExport(QsoExport fn, const HostQso& q) {
    COleDateTime time = q.time;
    COleDateTime junkTime(12345.678, COleDateTime::invalid);
    const char* junk = "junk";
    return fn(q.ownCall.c_str(), q.workedCall.c_str(), &time, &junkTime, &junkTime, &junkTime, 77u,
              q.freqHz, q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
              q.exchRcvd.c_str(), junk, junk, junk, junk, junk, junk, junk, junk, junk,
              q.countryPrefix.c_str(), -1, 2, 3, 4.5, -6.5, junk, q.auxText.c_str(), junk,
              q.band.c_str(), junk);
}

template <typename ResetExport> int CallReset(ResetExport fn, int reportMode,
                                              const std::string& ownCall) {
    COleDateTime junkTime(1.5, COleDateTime::null);
    const char* junk = "junk";
    return fn(junk, reportMode, ownCall.c_str(), &junkTime, &junkTime, junk, junk, junk, junk,
              junk, junk, junk, junk, junk, junk, 7, 8, 9, 1.25, 2.5, junk, junk, junk);
}

template <typename CheckExport> int CallCheck(CheckExport fn, const std::string& call,
                                              const std::string& mode, char* spare,
                                              char* warning) {
    const char* junk = "junk";
    return fn(call.c_str(), 1u, 2u, mode.c_str(), junk, junk, junk, junk, junk, junk, junk, junk,
              junk, junk, 3, 4, 5, 6.5, 7.5, junk, junk, junk, junk, junk, junk, junk, spare,
              warning);
}

} // namespace stats::testing
