#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "log/ole_date_time.h"
#include "tests/support/temp_dir.h"
#include "tools/player/qso_mapping.h"

namespace stats::player {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
const std::string kRemoved = "\x01(removed)";

const Fields kWholeQso = {
    {"CALL", "RA3ABC"},      {"QSO_DATE", "20240218"}, {"TIME_ON", "0905"}, {"FREQ", "3.5265"},
    {"BAND", "80m"},         {"MODE", "CW"},           {"RST_SENT", "599"}, {"RST_RCVD", "579"},
    {"STX_STRING", "00012"}, {"SRX_STRING", "00345"},  {"DXCC", "54"},
};

// One ADIF record: the whole QSO with some fields changed, added or removed.
AdifRecord Record(const Fields& changes) {
    Fields fields = kWholeQso;
    for (const auto& [name, value] : changes) {
        bool found = false;
        for (auto& field : fields) {
            if (field.first == name) {
                field.second = value;
                found = true;
            }
        }
        if (!found) {
            fields.emplace_back(name, value);
        }
    }
    std::string text;
    for (const auto& [name, value] : fields) {
        if (value != kRemoved) {
            text += "<" + name + ":" + std::to_string(value.size()) + ">" + value;
        }
    }
    return ReadAdif(text + "<EOR>").records.at(0);
}

// The host's arguments as one line; the date-time through the module's own
// calendar arithmetic.
std::string Render(const PlayedQso& q) {
    CivilTime t{};
    char time[32] = "(no date-time)";
    if (ToCivilTime(q.time, t)) {
        std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                      t.hour, t.minute, t.second);
    }
    return q.workedCall + "|" + time + "|" + std::to_string(q.freqHz) + "|" + q.mode + "|" +
           q.rstSent + "|" + q.rstRcvd + "|" + q.exchSent + "|" + q.exchRcvd + "|" +
           q.countryPrefix + "|" + q.band;
}

TEST(QsoMapping, RecordsGiveTheHostArguments) {
    struct Case {
        const char* label;
        Fields changes;
        std::string expected;
    };
    const Case cases[] = {
        {"the whole QSO", {}, "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA|80m"},
        {"TIME_ON with seconds",
         {{"TIME_ON", "235959"}},
         "RA3ABC|2024-02-18 23:59:59|3526500|CW|599|579|00012|00345|UA|80m"},
        {"a leap day",
         {{"QSO_DATE", "20240229"}, {"TIME_ON", "0000"}},
         "RA3ABC|2024-02-29 00:00:00|3526500|CW|599|579|00012|00345|UA|80m"},
        {"SSB with its submode",
         {{"MODE", "SSB"}, {"SUBMODE", "LSB"}, {"RST_SENT", "59"}, {"RST_RCVD", "57"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|SSB|59|57|00012|00345|UA|80m"},
        {"PSK63",
         {{"MODE", "PSK"}, {"SUBMODE", "PSK63"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|BPSK63|599|579|00012|00345|UA|80m"},
        {"RTTY passes for the module to refuse",
         {{"MODE", "RTTY"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|RTTY|599|579|00012|00345|UA|80m"},
        {"STX when there is no STX_STRING",
         {{"STX_STRING", kRemoved}, {"STX", "12"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|12|00345|UA|80m"},
        {"STX_STRING before STX",
         {{"STX", "99"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA|80m"},
        {"SRX when there is no SRX_STRING",
         {{"SRX_STRING", kRemoved}, {"SRX", "345"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|345|UA|80m"},
        {"no exchange received",
         {{"SRX_STRING", kRemoved}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012||UA|80m"},
        {"no reports",
         {{"RST_SENT", kRemoved}, {"RST_RCVD", ""}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|||00012|00345|UA|80m"},
        {"a band in capitals",
         {{"BAND", "160M"}, {"FREQ", "1.8305"}},
         "RA3ABC|2024-02-18 09:05:00|1830500|CW|599|579|00012|00345|UA|160m"},
        {"the band of FREQ",
         {{"BAND", kRemoved}, {"FREQ", "7.0123456"}},
         "RA3ABC|2024-02-18 09:05:00|7012346|CW|599|579|00012|00345|UA|40m"},
        {"BAND before FREQ",
         {{"FREQ", "7.0123"}},
         "RA3ABC|2024-02-18 09:05:00|7012300|CW|599|579|00012|00345|UA|80m"},
        {"no FREQ",
         {{"FREQ", kRemoved}},
         "RA3ABC|2024-02-18 09:05:00|0|CW|599|579|00012|00345|UA|80m"},
        {"Asiatic Russia",
         {{"DXCC", "15"}, {"CALL", "RZ9UA"}},
         "RZ9UA|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA9|80m"},
        {"Kaliningrad",
         {{"DXCC", "126"}, {"CALL", "UA2FAA"}},
         "UA2FAA|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA2|80m"},
        {"another country by DXCC",
         {{"DXCC", "230"}, {"CALL", "DL1ABC"}},
         "DL1ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345||80m"},
        {"DXCC decides over the callsign",
         {{"DXCC", "291"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345||80m"},
        {"no DXCC: a Russian callsign",
         {{"DXCC", kRemoved}, {"CALL", "R0FA"}},
         "R0FA|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA9|80m"},
        {"no DXCC: a foreign callsign",
         {{"DXCC", kRemoved}, {"CALL", "OK1ABC"}},
         "OK1ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345||80m"},
        {"fields it does not know",
         {{"NAME", "\xC8\xE2\xE0\xED"}, {"COMMENT", "<tnx>"}, {"APP_VESTRA_X", "1"}},
         "RA3ABC|2024-02-18 09:05:00|3526500|CW|599|579|00012|00345|UA|80m"},
        {"texts byte for byte",
         {{"CALL", "ra3abc/p"}, {"SRX_STRING", " 00345 "}, {"RST_RCVD", "\xEF\xFF"}},
         "ra3abc/p|2024-02-18 09:05:00|3526500|CW|599|\xEF\xFF|00012| 00345 |UA|80m"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Render(MapQso(Record(c.changes))), c.expected);
    }
}

TEST(QsoMapping, RefusesRecordsTheHostCouldNotHaveLogged) {
    struct Case {
        Fields changes;
        std::string message;
    };
    const Case cases[] = {
        {{{"CALL", kRemoved}}, "a QSO needs a CALL"},
        {{{"CALL", ""}}, "a QSO needs a CALL"},
        {{{"QSO_DATE", kRemoved}}, "a QSO needs QSO_DATE and TIME_ON"},
        {{{"TIME_ON", kRemoved}}, "a QSO needs QSO_DATE and TIME_ON"},
        {{{"QSO_DATE", "2024-02-18"}}, "QSO_DATE \"2024-02-18\" is not a date YYYYMMDD"},
        {{{"QSO_DATE", "20230229"}}, "QSO_DATE \"20230229\" is not a date YYYYMMDD"},
        {{{"QSO_DATE", "20241301"}}, "QSO_DATE \"20241301\" is not a date YYYYMMDD"},
        {{{"QSO_DATE", "20240100"}}, "QSO_DATE \"20240100\" is not a date YYYYMMDD"},
        {{{"QSO_DATE", "18991231"}}, "QSO_DATE \"18991231\" is not a date YYYYMMDD"},
        {{{"TIME_ON", "0960"}}, "TIME_ON \"0960\" is not a time HHMM or HHMMSS"},
        {{{"TIME_ON", "2400"}}, "TIME_ON \"2400\" is not a time HHMM or HHMMSS"},
        {{{"TIME_ON", "905"}}, "TIME_ON \"905\" is not a time HHMM or HHMMSS"},
        {{{"TIME_ON", "09051"}}, "TIME_ON \"09051\" is not a time HHMM or HHMMSS"},
        {{{"TIME_ON", "0905ab"}}, "TIME_ON \"0905ab\" is not a time HHMM or HHMMSS"},
        {{{"FREQ", "3,5265"}}, "FREQ \"3,5265\" is not a frequency in MHz below 4295"},
        {{{"BAND", kRemoved}, {"FREQ", kRemoved}}, "a QSO needs a BAND, or a FREQ within a band"},
        {{{"BAND", ""}, {"FREQ", "4.5"}}, "a QSO needs a BAND, or a FREQ within a band"},
    };
    for (const Case& c : cases) {
        const AdifRecord record = Record(c.changes);
        try {
            MapQso(record);
            ADD_FAILURE() << "mapped: " << c.message;
        } catch (const MappingError& error) {
            EXPECT_EQ(error.what(), "record 1 (offset 0): " + c.message);
        }
    }
}

TEST(QsoMapping, HostModes) {
    struct Case {
        const char* mode;
        const char* submode;
        const char* host;
    };
    const Case cases[] = {
        {"CW", "", "CW"},
        {"cw", "", "CW"},
        {"CW", "PCW", "CW"},
        {"SSB", "", "SSB"},
        {"SSB", "USB", "SSB"},
        {"ssb", "LSB", "SSB"},
        {"PSK", "PSK63", "BPSK63"},
        {"psk", "bpsk63", "BPSK63"},
        {"PSK", "BPSK63", "BPSK63"},
        {"PSK", "PSK31", "PSK31"},
        {"PSK", "PSK63F", "PSK63F"},
        {"PSK", "", "PSK"},
        {"RTTY", "", "RTTY"},
        {"MFSK", "FT4", "FT4"},
        {"FT8", "", "FT8"},
        {"rtty", "", "rtty"},
        {"", "", ""},
        {"CW ", "", "CW "},
        // ADIF 1 and 2 mode names are modes of their own here.
        {"PSK63", "", "PSK63"},
        {"USB", "", "USB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HostMode(c.mode, c.submode), c.host) << c.mode << "/" << c.submode;
    }
}

TEST(QsoMapping, FrequencyInHzRoundedToTheNearest) {
    struct Case {
        const char* mhz;
        bool ok;
        unsigned int hz;
    };
    const Case cases[] = {
        {"3.5255", true, 3525500},
        {"1.8", true, 1800000},
        {"7", true, 7000000},
        {"3.", true, 3000000},
        {".5", true, 500000},
        {"14.074345", true, 14074345},
        {"14.0743454", true, 14074345},
        {"14.0743455", true, 14074346},
        {"14.07434549999", true, 14074345},
        {"0.0000005", true, 1},
        {"0", true, 0},
        {"007.000", true, 7000000},
        {"4294.967295", true, 4294967295u},
        {"4294.9672954", true, 4294967295u},
        {"4294.9672955", false, 0},
        {"4294.967296", false, 0},
        {"99999", false, 0},
        {"-3.5", false, 0},
        {"+3.5", false, 0},
        {"3,5", false, 0},
        {"", false, 0},
        {".", false, 0},
        {"3.5.1", false, 0},
        {"1e3", false, 0},
        {" 3.5", false, 0},
    };
    for (const Case& c : cases) {
        unsigned int hz = 12345;
        EXPECT_EQ(ParseFreqHz(c.mhz, hz), c.ok) << c.mhz;
        if (c.ok) {
            EXPECT_EQ(hz, c.hz) << c.mhz;
        }
    }
}

TEST(QsoMapping, BandOfAFrequency) {
    const std::pair<unsigned int, const char*> cases[] = {
        {1800000, "160m"},   {1830500, "160m"},     {2000000, "160m"}, {2000001, ""},
        {1799999, ""},       {3525500, "80m"},      {7040000, "40m"},  {10120000, "30m"},
        {14074000, "20m"},   {28500000, "10m"},     {50313000, "6m"},  {145500000, "2m"},
        {432100000, "70cm"}, {2400000000u, "13cm"}, {0, ""},           {4294967295u, ""},
    };
    for (const auto& [hz, band] : cases) {
        EXPECT_EQ(BandOfFreq(hz), band) << hz;
    }
}

TEST(QsoMapping, CountryPrefix) {
    struct Case {
        const char* dxcc; // nullptr: no DXCC field
        const char* call;
        const char* prefix;
    };
    const Case cases[] = {
        {"54", "DL1ABC", "UA"},
        {"054", "R3ABC", "UA"},
        {"15", "R3ABC", "UA9"},
        {"126", "R3ABC", "UA2"},
        {"230", "R3ABC", ""},
        {"0", "R3ABC", ""},
        {"", "RZ9UA", "UA9"},
        {"x54", "R3ABC", "UA"},
        {"12345", "DL1ABC", ""},
        // The callsign rule.
        {nullptr, "R3ABC", "UA"},
        {nullptr, "RA3ABC", "UA"},
        {nullptr, "UA3ABC", "UA"},
        {nullptr, "UI3A", "UA"},
        {nullptr, "ra3abc", "UA"},
        {nullptr, "RZ9UA", "UA9"},
        {nullptr, "UA0AAA", "UA9"},
        {nullptr, "R8V", "UA9"},
        {nullptr, "UA2FAA", "UA2"},
        {nullptr, "RA2FA", "UA2"},
        {nullptr, "R2KA", "UA2"},
        {nullptr, "RA2AAA", "UA"},
        {nullptr, "UA3ABC/P", "UA"},
        {nullptr, "UA3ABC/9", "UA"},
        {nullptr, "R", "UA"},
        {nullptr, "UJ8JA", ""},
        {nullptr, "UR5AA", ""},
        {nullptr, "UN7AB", ""},
        {nullptr, "DL1ABC", ""},
        {nullptr, "DL/UA3ABC", ""},
        {nullptr, "4X1AB", ""},
        {nullptr, "U", ""},
        {nullptr, "", ""},
        {nullptr, "/R3ABC", ""},
    };
    for (const Case& c : cases) {
        const std::string dxcc = c.dxcc != nullptr ? c.dxcc : "";
        EXPECT_EQ(CountryPrefix(c.dxcc != nullptr ? &dxcc : nullptr, c.call), c.prefix)
            << (c.dxcc != nullptr ? c.dxcc : "(none)") << " " << c.call;
    }
}

TEST(QsoMapping, OleDatesOfKnownDays) {
    EXPECT_EQ(OleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_EQ(OleDateTime(1900, 1, 1, 0, 0, 0).m_dt, 2.0);
    EXPECT_EQ(OleDateTime(2012, 9, 12, 0, 0, 0).m_dt, 41164.0);
    EXPECT_EQ(OleDateTime(2012, 9, 12, 18, 0, 0).m_dt, 41164.75);
    EXPECT_EQ(OleDateTime(2024, 2, 18, 9, 5, 0).GetStatus(), COleDateTime::valid);
}

TEST(QsoMapping, OwnCallOfALog) {
    struct Case {
        const char* label;
        std::string log;
        const char* own;
    };
    const Case cases[] = {
        {"station callsign", "<CALL:4>R3AB<STATION_CALLSIGN:6>UA3VLM<OPERATOR:5>R3XYZ<EOR>",
         "UA3VLM"},
        {"a later station callsign before an operator",
         "<CALL:4>R3AB<OPERATOR:5>R3XYZ<EOR><CALL:4>R3AC<STATION_CALLSIGN:6>UA3VLM<EOR>", "UA3VLM"},
        {"operator", "<CALL:4>R3AB<STATION_CALLSIGN:0><OPERATOR:5>R3XYZ<EOR>", "R3XYZ"},
        {"neither", "<CALL:4>R3AB<EOR>", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OwnCallOf(ReadAdif(c.log)), c.own) << c.label;
    }
}

TEST(QsoMapping, CabrilloFileNameAsTheModuleGivesIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"UA3VLM", "UA3VLM.cbr"},   {"UA3VLM/P", "UA3VLM_P.cbr"},
        {"  R3\\X \t", "R3_X.cbr"}, {"R3 X", "R3 X.cbr"},
        {"", "ULMAK.cbr"},          {" \r\n", "ULMAK.cbr"},
    };
    for (const auto& [call, file] : cases) {
        EXPECT_EQ(CabrilloFileName(call), file) << '"' << call << '"';
    }
}

// The bundled sample log: read whole, every record mapped, nothing to note.
TEST(SampleLog, ReadsAndMapsWhole) {
    const AdifLog log = ReadAdif(testing::ReadFileBytes(STATS_SAMPLE_LOG));
    EXPECT_TRUE(log.notes.empty());
    EXPECT_EQ(OwnCallOf(log), "UA3VLM");
    ASSERT_GE(log.records.size(), 200u);
    std::set<std::string> bands;
    std::set<std::string> modes;
    for (const AdifRecord& record : log.records) {
        const PlayedQso qso = MapQso(record);
        bands.insert(qso.band);
        modes.insert(qso.mode);
    }
    EXPECT_EQ(bands, (std::set<std::string>{"160m", "80m", "40m"}));
    EXPECT_EQ(modes, (std::set<std::string>{"CW", "SSB", "BPSK63", "RTTY"}));
}

} // namespace
} // namespace stats::player
