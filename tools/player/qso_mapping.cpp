#include "tools/player/qso_mapping.h"

#include <cstdint>

namespace stats::player {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ADIF enumerations (modes, bands) are case-insensitive.
bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

bool ParseDigits(std::string_view text, int& value) {
    value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return !text.empty();
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + dayOfEra - 719468;
}

struct Band {
    const char* name;
    unsigned int lowHz;
    unsigned int highHz;
};

// ADIF's band table, as far as 32-bit Hz reach.
constexpr Band kBands[] = {
    {"2190m", 135700, 137800},          {"630m", 472000, 479000},
    {"560m", 501000, 504000},           {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},          {"60m", 5060000, 5450000},
    {"40m", 7000000, 7300000},          {"30m", 10100000, 10150000},
    {"20m", 14000000, 14350000},        {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},        {"12m", 24890000, 24990000},
    {"10m", 28000000, 29700000},        {"8m", 40000000, 45000000},
    {"6m", 50000000, 54000000},         {"5m", 54000001, 69900000},
    {"4m", 70000000, 71000000},         {"2m", 144000000, 148000000},
    {"1.25m", 222000000, 225000000},    {"70cm", 420000000, 450000000},
    {"33cm", 902000000, 928000000},     {"23cm", 1240000000, 1300000000},
    {"13cm", 2300000000u, 2450000000u},
};

std::string Text(const AdifRecord& record, std::string_view name) {
    const std::string* data = record.Find(name);
    return data != nullptr ? *data : std::string();
}

// The first of two fields that the log has at all (an empty one counts).
std::string TextOr(const AdifRecord& record, std::string_view first, std::string_view second) {
    const std::string* data = record.Find(first);
    return data != nullptr ? *data : Text(record, second);
}

[[noreturn]] void Fail(const AdifRecord& record, const std::string& what) {
    throw MappingError("record " + std::to_string(record.number) + " (offset " +
                       std::to_string(record.offset) + "): " + what);
}

COleDateTime QsoTime(const AdifRecord& record) {
    const std::string* date = record.Find("QSO_DATE");
    const std::string* time = record.Find("TIME_ON");
    if (date == nullptr || time == nullptr) {
        Fail(record, "a QSO needs QSO_DATE and TIME_ON");
    }
    int year = 0;
    int month = 0;
    int day = 0;
    if (date->size() != 8 || !ParseDigits(date->substr(0, 4), year) ||
        !ParseDigits(date->substr(4, 2), month) || !ParseDigits(date->substr(6, 2), day) ||
        year < 1900 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        Fail(record, "QSO_DATE \"" + *date + "\" is not a date YYYYMMDD");
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    if ((time->size() != 4 && time->size() != 6) || !ParseDigits(time->substr(0, 2), hour) ||
        !ParseDigits(time->substr(2, 2), minute) ||
        (time->size() == 6 && !ParseDigits(time->substr(4, 2), second)) || hour > 23 ||
        minute > 59 || second > 59) {
        Fail(record, "TIME_ON \"" + *time + "\" is not a time HHMM or HHMMSS");
    }
    return OleDateTime(year, month, day, hour, minute, second);
}

} // namespace

std::string HostMode(std::string_view mode, std::string_view submode) {
    if (SameLetters(mode, "CW")) {
        return "CW";
    }
    if (SameLetters(mode, "SSB")) {
        return "SSB";
    }
    if (SameLetters(mode, "PSK") &&
        (SameLetters(submode, "PSK63") || SameLetters(submode, "BPSK63"))) {
        return "BPSK63";
    }
    return std::string(submode.empty() ? mode : submode);
}

bool ParseFreqHz(std::string_view mhz, unsigned int& hz) {
    const std::size_t point = mhz.find('.');
    const std::string_view whole = mhz.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mhz.substr(point + 1);
    if (whole.empty() && fraction.empty()) {
        return false;
    }
    std::uint64_t value = 0;
    for (char c : whole) {
        if (!IsDigit(c) || value > 5000) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    // Six decimals are whole Hz; the seventh rounds, half up.
    value *= 1000000;
    std::uint64_t scale = 100000;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        const char c = fraction[i];
        if (!IsDigit(c)) {
            return false;
        }
        if (i < 6) {
            value += scale * static_cast<unsigned>(c - '0');
            scale /= 10;
        } else if (i == 6 && c >= '5') {
            value += 1;
        }
    }
    if (value > 0xFFFFFFFFu) {
        return false;
    }
    hz = static_cast<unsigned int>(value);
    return true;
}

std::string BandOfFreq(unsigned int hz) {
    for (const Band& band : kBands) {
        if (hz >= band.lowHz && hz <= band.highHz) {
            return band.name;
        }
    }
    return std::string();
}

std::string CountryPrefixOfCall(std::string_view call) {
    const std::string_view base = call.substr(0, call.find('/'));
    if (base.empty()) {
        return std::string();
    }
    const char first = Upper(base[0]);
    const char second = base.size() > 1 ? Upper(base[1]) : '\0';
    if (first != 'R' && !(first == 'U' && second >= 'A' && second <= 'I')) {
        return std::string();
    }
    const std::size_t digit = base.find_first_of("0123456789");
    if (digit == std::string_view::npos) {
        return "UA";
    }
    const char area = base[digit];
    const char after = digit + 1 < base.size() ? Upper(base[digit + 1]) : '\0';
    if (area == '2' && (after == 'F' || after == 'K')) {
        return "UA2";
    }
    if (area == '8' || area == '9' || area == '0') {
        return "UA9";
    }
    return "UA";
}

std::string CountryPrefix(const std::string* dxcc, std::string_view call) {
    int entity = 0;
    if (dxcc == nullptr || dxcc->size() > 4 || !ParseDigits(*dxcc, entity)) {
        return CountryPrefixOfCall(call); // no entity number to go by
    }
    switch (entity) {
    case 54:
        return "UA";
    case 15:
        return "UA9";
    case 126:
        return "UA2";
    default:
        return std::string();
    }
}

COleDateTime OleDateTime(int year, int month, int day, int hour, int minute, int second) {
    // 30 December 1899, day 0 of the OLE date, is 25569 days before 1970.
    const double days = static_cast<double>(DaysFromCivil(year, month, day) + 25569);
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    return COleDateTime(days + time, COleDateTime::valid);
}

PlayedQso MapQso(const AdifRecord& record) {
    PlayedQso qso;
    const std::string* call = record.Find("CALL");
    if (call == nullptr || call->empty()) {
        Fail(record, "a QSO needs a CALL");
    }
    qso.workedCall = *call;
    qso.time = QsoTime(record);
    if (const std::string* freq = record.Find("FREQ"); freq != nullptr && !freq->empty()) {
        if (!ParseFreqHz(*freq, qso.freqHz)) {
            Fail(record, "FREQ \"" + *freq + "\" is not a frequency in MHz below 4295");
        }
    }
    qso.mode = HostMode(Text(record, "MODE"), Text(record, "SUBMODE"));
    qso.rstSent = Text(record, "RST_SENT");
    qso.rstRcvd = Text(record, "RST_RCVD");
    qso.exchSent = TextOr(record, "STX_STRING", "STX");
    qso.exchRcvd = TextOr(record, "SRX_STRING", "SRX");
    qso.countryPrefix = CountryPrefix(record.Find("DXCC"), qso.workedCall);
    qso.band = Text(record, "BAND");
    for (char& c : qso.band) {
        c = Lower(c); // ADIF bands are case-insensitive; the module's are "160m" and the like
    }
    if (qso.band.empty()) {
        qso.band = BandOfFreq(qso.freqHz);
    }
    if (qso.band.empty()) {
        Fail(record, "a QSO needs a BAND, or a FREQ within a band");
    }
    return qso;
}

std::string OwnCallOf(const AdifLog& log) {
    for (const char* field : {"STATION_CALLSIGN", "OPERATOR"}) {
        for (const AdifRecord& record : log.records) {
            const std::string* call = record.Find(field);
            if (call != nullptr && !call->empty()) {
                return *call;
            }
        }
    }
    return std::string();
}

std::string CabrilloFileName(std::string_view ownCall) {
    std::string base(ownCall);
    for (char& c : base) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    const char* const blanks = " \t\n\v\f\r";
    const std::size_t first = base.find_first_not_of(blanks);
    base = first == std::string::npos
               ? std::string()
               : base.substr(first, base.find_last_not_of(blanks) - first + 1);
    return (base.empty() ? std::string("ULMAK") : base) + ".cbr";
}

} // namespace stats::player
