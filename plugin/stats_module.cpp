#include "plugin/stats_module.h"

#include "log/qso_entry.h"
#include "log/round_check.h"
#include "plugin/contest.h"
#include "report/cabrillo.h"
#include "scoring/summary.h"

namespace stats {

int StatsModule::ResetStats(int reportMode, std::string_view ownCall) {
    // The pass starts even when a step fails, out of memory included: the
    // log is emptied whatever became of the checker program, and a UBN file
    // that cannot be made leaves the pass without one.
    if (!checkerLaunched_) {
        // Started once per load; whether it runs is not this module's concern.
        checkerLaunched_ = true;
        try {
            platform_.launcher.Start(kCheckerProgram);
        } catch (...) {
        }
    }
    log_.Clear();
    bands_.Clear();
    reportMode_ = reportMode;
    try {
        ubnFile_.Open(platform_.files, ownCall);
    } catch (...) {
        ubnFile_.Close();
    }
    if (reportMode_ != 0) {
        EditStationDetails(profile_, ownCall, platform_.settings, platform_.dialog);
    }
    return 1;
}

int StatsModule::AddData(const QsoReport& qso) {
    return AddQso(log_, bands_, ubnFile_, qso);
}

int StatsModule::RemoveData(const QsoReport& qso) {
    return RemoveQso(log_, qso);
}

int StatsModule::CheckCall(std::string_view workedCall, std::string_view mode,
                           char* warningBuffer) {
    if (log_.empty()) {
        return kNoRepeat;
    }
    return CheckRound(log_, workedCall, mode, platform_.clock.NowUtc(), warningBuffer);
}

const char* StatsModule::GetResult(int* result) {
    Summary summary = ScoreLog(log_, bands_);
    summaryText_ = std::move(summary.text);
    claimedScore_ = summary.score;
    if (result != nullptr) {
        *result = claimedScore_;
    }
    platform_.settings.Write(kSettingsFile, kSettingsSection, "Claimed",
                             std::to_string(claimedScore_));
    if (reportMode_ != 0) {
        CollectCabrilloLines(profile_, log_);
        WriteCabrilloFile(profile_, claimedScore_, platform_.files);
        if (result != nullptr) {
            *result = -1;
        }
    }
    return summaryText_.c_str();
}

void StatsModule::SetupSet() {
    platform_.messages.Show(kNoSetupMessage);
}

} // namespace stats
