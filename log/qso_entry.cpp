#include "log/qso_entry.h"

#include <string>
#include <utility>

#include "log/text.h"
#include "region/region.h"

namespace stats {
namespace {

// Upper-cased and trimmed, as a region code is stored.
std::string NormalizeRegion(std::string_view code) {
    std::string region;
    for (char c : code) {
        region.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return std::string(TrimWhiteSpace(region));
}

} // namespace

bool IsContestMode(std::string_view mode) {
    return mode == "CW" || mode == "BPSK63" || mode == "BPSK62" || mode == "SSB";
}

int AddQso(QsoLog& log, BandList& bands, UbnFile& ubn, const QsoReport& qso) {
    if (!IsContestMode(qso.mode)) {
        ubn.WriteRejection(qso, kReasonNoContestMode);
        return 0;
    }
    if (qso.exchRcvd.empty() || qso.exchSent.empty()) {
        ubn.WriteRejection(qso, kReasonNoRxNumber);
        return 0;
    }
    // The band is entered before the region step, so a QSO refused there
    // still leaves its band in the list.
    bands.Enter(qso.band);

    QsoRecord record;
    record.call = std::string(qso.workedCall);
    record.pairCall = record.call;
    record.auxText = std::string(qso.auxText);
    record.band = std::string(qso.band);
    record.mode = std::string(qso.mode);
    record.rstRcvd = std::string(qso.rstRcvd);
    record.rstSent = std::string(qso.rstSent);
    record.exchRcvd = std::string(qso.exchRcvd);
    record.exchSent = std::string(qso.exchSent);
    record.freqKhz = qso.freqHz / 1000;
    record.time = qso.qsoTime;

    if (IsHomeCountry(qso.countryPrefix)) {
        const char* code = LookupRegion(qso.workedCall);
        if (code == nullptr) {
            return 0;
        }
        record.region = NormalizeRegion(code);
    }
    if (!log.Contains(record)) {
        log.Append(std::move(record));
    }
    return 1;
}

int RemoveQso(QsoLog& log, const QsoReport& qso) {
    if (qso.exchRcvd.empty() || qso.exchSent.empty()) {
        return 0;
    }
    log.RemoveFirst(qso.workedCall, qso.mode, qso.band);
    return 1;
}

} // namespace stats
