#include "scoring/band_order.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace stats {

std::string BandSortKey(const std::string& name) {
    constexpr std::size_t kKeyWidth = 20;
    if (name.size() >= kKeyWidth) {
        return name;
    }
    return std::string(kKeyWidth - name.size(), '0') + name;
}

void OrderBands(std::vector<std::string>& names) {
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        keys.push_back(BandSortKey(name));
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});

    // With all keys distinct every correct sort gives the same order, so a
    // fast one will do. Equal keys ("160m" and "0160m") end up in an order
    // only the exchange sort itself tells, so then it runs as it stands.
    std::vector<std::size_t> byKey = order;
    std::sort(byKey.begin(), byKey.end(),
              [&](std::size_t a, std::size_t b) { return keys[a] > keys[b]; });
    const bool tied = std::adjacent_find(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) {
                          return keys[a] == keys[b];
                      }) != byKey.end();
    if (!tied) {
        order = std::move(byKey);
    } else {
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            for (std::size_t j = i + 1; j < order.size(); ++j) {
                if (keys[order[i]] < keys[order[j]]) {
                    std::swap(order[i], order[j]);
                }
            }
        }
    }
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t index : order) {
        sorted.push_back(std::move(names[index]));
    }
    names = std::move(sorted);
}

} // namespace stats
