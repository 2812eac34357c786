// The score summary: per-band QSOs, points and mode counts, totals, score.
#pragma once

#include <string>

#include "log/qso_log.h"

namespace stats {

struct Summary {
    std::string text; // lines end in "\r\n"
    int score = 0;
};

// Orders the band list and scores every band of it from the log. A QSO is
// worth 1 point (2 on "160m"), each distinct region 3 points once per band and
// each distinct callsign-and-mode 5 points once per band.
Summary ScoreLog(const QsoLog& log, BandList& bands);

} // namespace stats
