#include <gtest/gtest.h>

#include "log/ubn_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_dir.h"

namespace stats {
namespace {

using testing::OleTime;

TEST(UbnFile, DateTimeTextFromTheValuesOwnFields) {
    EXPECT_EQ(RejectionDateTimeText(OleTime(2012, 9, 12, 13, 8, 38)), "2012-09-12 1308");
    EXPECT_EQ(RejectionDateTimeText(OleTime(2012, 9, 12, 9, 5, 7)), "2012-09-12 0905");
    EXPECT_EQ(RejectionDateTimeText(OleTime(2012, 9, 12)), "2012-09-12");
    EXPECT_EQ(RejectionDateTimeText(OleTime(2012, 9, 12, 0, 0, 1)), "2012-09-12 0000");
    EXPECT_EQ(RejectionDateTimeText(OleTime(1899, 12, 29, 6, 0, 0)), "1899-12-29 0600");
    EXPECT_EQ(RejectionDateTimeText(COleDateTime(41164.5, COleDateTime::invalid)), "");
    EXPECT_EQ(RejectionDateTimeText(COleDateTime(41164.5, COleDateTime::null)), "");
}

TEST(UbnFile, NameHasNoFolderPartHeaderKeepsTheCall) {
    EXPECT_EQ(UbnFileName("UA3ABC"), "UA3ABC-ubn.txt");
    EXPECT_EQ(UbnFileName("UA3ABC/P"), "UA3ABC_P-ubn.txt");
    EXPECT_EQ(UbnFileName("..\\..\\x"), ".._.._x-ubn.txt");
    EXPECT_EQ(UbnFileName(""), "-ubn.txt");
    EXPECT_EQ(UbnHeader("UA3ABC/P"), "Kestrun TEST UBN file UA3ABC/P\n\n");
    EXPECT_EQ(UbnHeader(""), "Kestrun TEST UBN file \n\n");
}

TEST(UbnFile, EmptyTextsLeaveTheirPlacesEmpty) {
    QsoReport q;
    q.qsoTime = COleDateTime(0, COleDateTime::null);
    q.mode = "CW";
    // Seven two-blank separators follow the mode when every later text is empty.
    EXPECT_EQ(RejectionLine(q, kReasonNoRxNumber), "QSO: 0  CW" + std::string(14, ' ') + "No RX number\n");
}

TEST(UbnFile, EachPassStartsItsOwnFileAndLinesReachTheDiskAtOnce) {
    testing::ScopedTempDir dir;
    testing::PosixFileSystem files;
    UbnFile ubn;
    ubn.Open(files, "UA3AAA");
    QsoReport q;
    q.mode = "RTTY";
    q.qsoTime = OleTime(2012, 9, 12, 9, 5, 7);
    ubn.WriteRejection(q, kReasonNoContestMode);
    // Flushed: another reader sees the line while the stream is open.
    EXPECT_EQ(testing::ReadFileBytes("UA3AAA-ubn.txt"),
              "Kestrun TEST UBN file UA3AAA\n\nQSO: 0  RTTY  2012-09-12 0905" + std::string(12, ' ') +
                  " No contest mode \n");
    ubn.Open(files, "UA3AAA");
    EXPECT_EQ(testing::ReadFileBytes("UA3AAA-ubn.txt"), "Kestrun TEST UBN file UA3AAA\n\n");
    ubn.Open(files, "UA3ABC/P");
    EXPECT_TRUE(testing::FileExists("UA3ABC_P-ubn.txt"));
    files.failOpens = true;
    ubn.Open(files, "R1");
    EXPECT_FALSE(ubn.IsOpen());
    ubn.WriteRejection(q, kReasonNoContestMode); // dropped, no crash
}

} // namespace
} // namespace stats
