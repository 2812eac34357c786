#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tools/player/adif_reader.h"

namespace stats::player {
namespace {

using testing::Visible;

// A log as text: records split by " | ", fields "NAME=data" split by ";".
std::string Render(const std::vector<AdifField>& fields) {
    std::string text;
    for (const AdifField& field : fields) {
        text += (text.empty() ? "" : ";") + field.name + "=" + field.data;
    }
    return text;
}

std::string Render(const AdifLog& log) {
    std::string text;
    for (const AdifRecord& record : log.records) {
        text += (text.empty() ? "" : " | ") + Render(record.fields);
    }
    return text;
}

struct ReadCase {
    const char* label;
    std::string input;
    std::string header;  // the header's fields
    std::string records; // the records
    std::string note;    // a part of the one note expected, or empty for none
};

TEST(AdifReader, ReadsTheSnippets) {
    const ReadCase cases[] = {
        {"text header", "Made by hand\r\n<ADIF_VER:5>3.1.4\r\n<EOH>\r\n<CALL:5>R3ABC<EOR>\r\n",
         "ADIF_VER=3.1.4", "CALL=R3ABC", ""},
        {"no header", "<CALL:5>R3ABC<BAND:3>80m<EOR><CALL:4>R3AB<EOR>", "",
         "CALL=R3ABC;BAND=80m | CALL=R3AB", ""},
        {"header that begins with a field",
         "<ADIF_VER:5>3.1.4<PROGRAMID:2>me<EOH><CALL:4>R3AB<EOR>", "ADIF_VER=3.1.4;PROGRAMID=me",
         "CALL=R3AB", ""},
        {"header of an empty tag", "<EOH><CALL:4>R3AB<EOR>", "", "CALL=R3AB", ""},
        {"lower-case and mixed-case tags", "log\n<eoh><call:5>R3ABC<Band:3>80M<eor>", "",
         "CALL=R3ABC;BAND=80M", ""},
        {"data that hold '<' and '>'", "<COMMENT:7>a<b>c<d<CALL:4>R3AB<EOR>", "",
         "COMMENT=a<b>c<d;CALL=R3AB", ""},
        {"data that hold a whole tag", "<COMMENT:5><EOR><CALL:4>R3AB<EOR>", "",
         "COMMENT=<EOR>;CALL=R3AB", ""},
        {"Windows-1251 bytes, counted as bytes", "<NAME:4>\xC8\xE2\xE0\xED<CALL:4>R3AB<EOR>", "",
         "NAME=\xC8\xE2\xE0\xED;CALL=R3AB", ""},
        {"line breaks inside data", "<ADDRESS:6>a\r\nb\r\n<EOR>", "", "ADDRESS=a\r\nb\r\n", ""},
        {"type indicators", "<QSO_DATE:8:D>20240218<FREQ:5:N>3.526<EOR>", "",
         "QSO_DATE=20240218;FREQ=3.526", ""},
        {"anything between fields", "<CALL:5>R3ABC xyz\r\n<BAND:3>80m  ;\r\n<EOR>\r\n\r\n", "",
         "CALL=R3ABC;BAND=80m", ""},
        {"a zero length and leading zeros", "<CALL:0><BAND:03>80m<EOR>", "", "CALL=;BAND=80m", ""},
        {"an empty record is no QSO", "<EOR>\r\n<CALL:4>R3AB<EOR><EOR>", "", "CALL=R3AB", ""},
        {"'<' in header text that begins no tag",
         "Exported <today> at 5 < 6 <http://x>\r\n<EOH><CALL:4>R3AB<EOR>", "", "CALL=R3AB", ""},
        {"byte-order mark and blank lines first", "\xEF\xBB\xBF\r\n\r\n<CALL:4>R3AB<EOR>", "",
         "CALL=R3AB", ""},
        {"no EOR at the end", "<CALL:5>R3ABC<EOR>\r\n<CALL:4>R3AB<BAND:3>80m\r\n", "",
         "CALL=R3ABC | CALL=R3AB;BAND=80m", "record 2 has no <EOR>"},
        {"a header and no records", "Nothing yet\r\n<EOH>\r\n", "", "", ""},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.label);
        AdifLog log;
        ASSERT_NO_THROW(log = ReadAdif(c.input));
        EXPECT_EQ(Visible(Render(log.header)), Visible(c.header));
        EXPECT_EQ(Visible(Render(log)), Visible(c.records));
        if (c.note.empty()) {
            EXPECT_TRUE(log.notes.empty()) << log.notes.front();
        } else {
            ASSERT_EQ(log.notes.size(), 1u);
            EXPECT_NE(log.notes[0].find(c.note), std::string::npos) << log.notes[0];
        }
    }
}

struct ErrorCase {
    const char* label;
    std::string input;
    std::string message; // the whole message
};

TEST(AdifReader, RefusesBrokenFilesWithThePlace) {
    const ErrorCase cases[] = {
        {"empty file", "", "not an ADIF file: it holds no data"},
        {"blanks only", " \r\n\t", "not an ADIF file: it holds no data"},
        {"plain text", "START-OF-LOG: 3.0\r\nQSO: 3525 CW\r\n",
         "not an ADIF file: it does not begin with a field tag, and no <EOH> ends a header"},
        {"records after text without EOH", "My log\r\n<CALL:4>R3AB<EOR>",
         "not an ADIF file: it does not begin with a field tag, and no <EOH> ends a header"},
        {"XML", "<?xml version=\"1.0\"?>\r\n<ADX>",
         "not an ADI file: this is XML (ADX); export the log as .adi"},
        {"tag cut off after the length", "<CALL:5>R3ABC<EOR><CALL:4",
         "record 2 (offset 18): the tag \"<CALL:4\" is cut off by the end of the file"},
        {"tag cut off in the name", "<CALL:5>R3ABC<EOR><CA",
         "record 2 (offset 18): the tag \"<CA\" is cut off by the end of the file"},
        {"tag cut off in the type", "<QSO_DATE:8:D",
         "record 1 (offset 0): the tag \"<QSO_DATE:8:D\" is cut off by the end of the file"},
        {"data past the end", "<CALL:5>R3ABC<EOR><CALL:4>R3AB<EOR><CALL:10>R3AB",
         "record 3 (offset 35): the data of \"<CALL:10>\" run past the end of the file (4 bytes "
         "left)"},
        {"data one byte short", "<CALL:5>R3AB",
         "record 1 (offset 0): the data of \"<CALL:5>\" run past the end of the file (4 bytes "
         "left)"},
        {"huge length", "<CALL:99999999999999999999999999>R3",
         "record 1 (offset 0): the data of \"<CALL:99999999999999999999999999>\" run past the "
         "end of the file (2 bytes left)"},
        {"length that is no number", "<CALL:x>R3ABC<EOR>",
         "record 1 (offset 0): the tag \"<CALL:x>\" has no valid data length"},
        {"negative length", "<CALL:-5>R3ABC<EOR>",
         "record 1 (offset 0): the tag \"<CALL:-5>\" has no valid data length"},
        {"empty length", "<CALL:>R3ABC<EOR>",
         "record 1 (offset 0): the tag \"<CALL:>\" has no valid data length"},
        {"no length", "<CALL:4>R3AB<EOR><CALL>R3ABC<EOR>",
         "record 2 (offset 17): the tag \"<CALL>\" has no data length"},
        {"empty tag", "<CALL:4>R3AB<>", "record 1 (offset 12): \"<>\" is not a field tag"},
        {"blank in a tag", "<CALL:4>R3AB< EOR>",
         "record 1 (offset 12): \"< EOR>\" is not a field tag"},
        {"EOH after a record", "<CALL:4>R3AB<EOR><EOH>",
         "record 2 (offset 17): <EOH> after the header or the first record"},
        {"second EOH", "Log<EOH><CALL:4>R3AB<EOH>",
         "record 1 (offset 20): <EOH> after the header or the first record"},
        {"header field past the end", "Log <PROGRAMID:99>x",
         "header (offset 4): the data of \"<PROGRAMID:99>\" run past the end of the file (1 "
         "byte left)"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            ReadAdif(c.input);
            ADD_FAILURE() << "read without an error";
        } catch (const AdifError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST(AdifReader, RecordsKnowTheirNumberAndPlace) {
    const AdifLog log = ReadAdif("x<EOH>\r\n<CALL:4>R3AB<EOR>\r\n<EOR>\r\n<CALL:4>R3AC<EOR>");
    ASSERT_EQ(log.records.size(), 2u);
    EXPECT_EQ(log.records[0].number, 1u);
    EXPECT_EQ(log.records[0].offset, 8u);
    EXPECT_EQ(log.records[1].number, 2u);
    EXPECT_EQ(log.records[1].offset, 34u);
}

TEST(AdifReader, FindGivesTheFirstFieldOfAName) {
    const AdifLog log = ReadAdif("<CALL:4>R3AB<call:4>R3AC<BAND:0><EOR>");
    const AdifRecord& record = log.records.at(0);
    ASSERT_NE(record.Find("CALL"), nullptr);
    EXPECT_EQ(*record.Find("CALL"), "R3AB");
    ASSERT_NE(record.Find("BAND"), nullptr);
    EXPECT_EQ(*record.Find("BAND"), "");
    EXPECT_EQ(record.Find("MODE"), nullptr);
    EXPECT_EQ(record.Find("call"), nullptr); // names are looked up in upper case
}

} // namespace
} // namespace stats::player
