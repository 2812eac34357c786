#include "scoring/summary.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "scoring/band_order.h"

namespace stats {
namespace {

struct PairKey {
    std::string_view call;
    std::string_view mode;
    bool operator==(const PairKey& other) const {
        return call == other.call && mode == other.mode;
    }
};

struct PairKeyHash {
    std::size_t operator()(const PairKey& key) const {
        const std::hash<std::string_view> h;
        return h(key.call) * 31 + h(key.mode);
    }
};

// One band's counts; the views point into the log, which does not change
// while the summary is built.
struct BandTally {
    int qsos = 0;
    int cw = 0;
    int ssb = 0;
    std::unordered_set<std::string_view> regions;
    std::unordered_set<PairKey, PairKeyHash> pairs;
};

void AppendLine(std::string& text, std::string_view label, int a, int b, int c, int d) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\t %i\t %i\t %i\t %i\r\n", a, b, c, d);
    text.append(label);
    text.append(numbers);
}

} // namespace

Summary ScoreLog(const QsoLog& log, BandList& bands) {
    Summary summary;
    std::string& text = summary.text;
    const int qsoCount = static_cast<int>(log.size());
    text = "\tVelmora\r\n\tQSOs\tPoints\tCW\tSSB\r\n";

    OrderBands(bands.Names());

    // One walk of the log fills every band's tally.
    std::unordered_map<std::string_view, BandTally> tallies;
    tallies.reserve(bands.size());
    for (const std::string& band : bands) {
        tallies.emplace(band, BandTally());
    }
    for (const QsoRecord& record : log) {
        if (record.call.empty()) {
            continue;
        }
        const auto it = tallies.find(record.band);
        if (it == tallies.end()) {
            continue;
        }
        BandTally& tally = it->second;
        ++tally.qsos;
        if (record.mode == "CW") {
            ++tally.cw;
        } else if (record.mode == "SSB") {
            ++tally.ssb;
        }
        if (!record.region.empty()) {
            tally.regions.insert(record.region);
        }
        tally.pairs.insert(PairKey{record.pairCall, record.mode});
    }

    int totalPoints = 0;
    int totalCw = 0;
    int totalSsb = 0;
    for (const std::string& band : bands) {
        const BandTally& tally = tallies.at(band);
        const int perQso = band == "160m" ? 2 : 1;
        const int points = 3 * static_cast<int>(tally.regions.size()) + perQso * tally.qsos +
                           5 * static_cast<int>(tally.pairs.size());
        AppendLine(text, band, tally.qsos, points, tally.cw, tally.ssb);
        totalPoints += points;
        totalCw += tally.cw;
        totalSsb += tally.ssb;
    }
    AppendLine(text, "Total", qsoCount, totalPoints, totalCw, totalSsb);
    char score[32];
    std::snprintf(score, sizeof score, "Score\t %i\r\n", totalPoints);
    text.append(score);
    summary.score = totalPoints;
    return summary;
}

} // namespace stats
