// Byte-wise text helpers of the log and the report.
#pragma once

#include <string_view>

namespace stats {

// Space, tab, line feed, vertical tab, form feed and carriage return; bytes
// above 127 are never white space, whatever the code page.
constexpr bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text without white space at its start and end.
constexpr std::string_view TrimWhiteSpace(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace stats
