#include "log/round_check.h"

#include <cstring>

#include "log/round.h"

namespace stats {
namespace {

constexpr std::string_view kWarningHead = "QSO c "; // Latin c
// " В ОДНОМ И ТОМ ЖЕ ТУРЕ ПРОВОДИТЬ НЕЛЬЗЯ !!!" in Windows-1251.
constexpr std::string_view kWarningTail =
    " \xC2 \xCE\xC4\xCD\xCE\xCC \xC8 \xD2\xCE\xCC \xC6\xC5 \xD2\xD3\xD0\xC5 "
    "\xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC \xCD\xC5\xCB\xDC\xC7\xDF !!!";
static_assert(kWarningTail.size() == 43, "the warning's fixed tail is 43 bytes");

} // namespace

std::string RepeatWarning(std::string_view workedCall) {
    const std::size_t room = kWarningCapacity - 1 - kWarningHead.size() - kWarningTail.size();
    std::string text(kWarningHead);
    text.append(workedCall.substr(0, room));
    text.append(kWarningTail);
    return text;
}

int CheckRound(const QsoLog& log, std::string_view workedCall, std::string_view mode,
               const CivilTime& nowUtc, char* warningBuffer) {
    if (!log.HasInRound(workedCall, mode, RoundOf(nowUtc))) {
        return kNoRepeat;
    }
    if (warningBuffer != nullptr) {
        const std::string warning = RepeatWarning(workedCall);
        std::memcpy(warningBuffer, warning.c_str(), warning.size() + 1);
    }
    return kRepeatInRound;
}

} // namespace stats
