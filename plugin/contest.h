// What the module tells the host about the contest it scores.
#pragma once

#include <string_view>

namespace stats {

constexpr const char* kContestName = "Velmora";
constexpr const char* kCheckerProgram = ".\\Plugins\\Ext_kestrun.exe";
constexpr const char* kNoSetupMessage = "No additional setup for this contest";

// A received exchange is exactly five decimal digits, leading zeros allowed.
inline bool IsValidExchange(std::string_view exchange) {
    if (exchange.size() != 5) {
        return false;
    }
    for (char c : exchange) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace stats
