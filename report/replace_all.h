// Text replacement as the station details use it for every conversion.
#pragma once

#include <string>
#include <string_view>

namespace stats {

// Every occurrence of `search` in `source` replaced by `replacement`, scanning
// from the left; matches do not overlap and replaced text is not searched
// again. When `search` equals `replacement` the source comes back as it is and
// `counter` is not written. `search` must not be empty.
std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement, int* counter = nullptr);

} // namespace stats
