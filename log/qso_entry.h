// Adding a reported QSO to the log, and taking one out again.
#pragma once

#include "log/qso_log.h"
#include "log/qso_report.h"
#include "log/ubn_file.h"

namespace stats {

// The contest's modes, exact and case-sensitive.
bool IsContestMode(std::string_view mode);

// 1 when the QSO is stored now or an equal record is stored already; 0 when it
// is refused: a foreign mode or a missing exchange (a line in the UBN file),
// or a home-country callsign without a region (silently, after its band has
// been entered).
int AddQso(QsoLog& log, BandList& bands, UbnFile& ubn, const QsoReport& qso);

// Removes the earliest record with the QSO's call, mode and band. 0 when an
// exchange is missing, else 1, whether or not a record was removed.
int RemoveQso(QsoLog& log, const QsoReport& qso);

} // namespace stats
