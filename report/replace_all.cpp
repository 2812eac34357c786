#include "report/replace_all.h"

namespace stats {

std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement, int* counter) {
    if (search == replacement || search.empty()) {
        return std::string(source);
    }
    std::string out;
    int count = 0;
    std::string_view rest = source;
    for (std::size_t p = rest.find(search); p != std::string_view::npos; p = rest.find(search)) {
        out.append(rest.substr(0, p));
        out.append(replacement);
        rest.remove_prefix(p + search.size());
        ++count;
    }
    out.append(rest);
    if (counter != nullptr) {
        *counter = count;
    }
    return out;
}

} // namespace stats
