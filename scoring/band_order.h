// The order of the band lines: descending by the name padded in front with
// "0" to 20 bytes, so that "160m" comes before "80m" and "80m" before "20m".
#pragma once

#include <string>
#include <vector>

namespace stats {

// The name as the ordering compares it; a name of 20 bytes or more is its own key.
std::string BandSortKey(const std::string& name);

// Reorders the names in place. The result, ties included, is that of an
// exchange sort that swaps entries i < j whenever key i is below key j.
void OrderBands(std::vector<std::string>& names);

} // namespace stats
