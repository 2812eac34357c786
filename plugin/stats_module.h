// The module's state and the work behind each export. One instance lives
// from load to unload; its members are built in this order and destroyed in
// the reverse one.
#pragma once

#include <string>
#include <string_view>

#include "log/qso_log.h"
#include "log/qso_report.h"
#include "log/ubn_file.h"
#include "platform/platform.h"
#include "report/station_profile.h"

namespace stats {

class StatsModule {
  public:
    explicit StatsModule(const Platform& platform) : platform_(platform) {}
    StatsModule(const StatsModule&) = delete;
    StatsModule& operator=(const StatsModule&) = delete;

    // Starts a pass: the checker program once per load, an empty log, the
    // report mode, a new UBN file and, in report mode, the station details.
    int ResetStats(int reportMode, std::string_view ownCall);
    int AddData(const QsoReport& qso);
    int RemoveData(const QsoReport& qso);
    int CheckCall(std::string_view workedCall, std::string_view mode, char* warningBuffer);
    // The summary text; *result gets the score, or -1 after a report.
    const char* GetResult(int* result);
    void SetupSet();

    const QsoLog& Log() const { return log_; }
    const BandList& Bands() const { return bands_; }
    const StationProfile& Profile() const { return profile_; }
    int ReportMode() const { return reportMode_; }

  private:
    Platform platform_;
    StationProfile profile_;
    QsoLog log_;
    BandList bands_;
    std::string summaryText_;
    int claimedScore_ = 0;
    bool checkerLaunched_ = false;
    int reportMode_ = 0;
    UbnFile ubnFile_;
};

} // namespace stats
