#include "memo/statements.h"

#include <gtest/gtest.h>

namespace agendia::memo {
namespace {

TEST(StatementsTest, SelectsReadTheMemoTableByReceiverAndById) {
  EXPECT_EQ(SelectByReceiver("demo"),
            "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver='demo'");
  EXPECT_EQ(SelectById("6F9619FF-8B86-D011-B42D-00C04FC964FF", "demo"),
            "select * from VXSystem..ZA_Message where nMsgType=100 and "
            "cMsgID='6F9619FF-8B86-D011-B42D-00C04FC964FF' and cReceiver='demo' ");
}

TEST(StatementsTest, InsertWritesTheTeamMeetingExampleByteForByte) {
  NewMemo memo{"Team meeting", "Room 3", "demo", "2024-03-01 09:30:00", 570, 2, "001", "2024"};
  auto text = InsertMemo(memo);
  ASSERT_TRUE(text.ok()) << text.status().description();
  EXPECT_EQ(*text,
            "insert into VXSystem..za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
            "cReceiver, dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) VALUES(NewID(), "
            "100, 'Team meeting','Room 3','demo','demo','2024-03-01 09:30:00', 570, 0, 2, '001', "
            "2024)");
}

TEST(StatementsTest, UpdateHasTwoSpacesBeforeWhereAndOneAfterTheIdentifier) {
  MemoChange change{"2024-03-01 07:05:00", "T", "C", 425, 3};
  EXPECT_EQ(UpdateMemo(change, "X", "demo"),
            "update VXSystem..za_message set dSend='2024-03-01 07:05:00', cMsgTitle='T', "
            "cMsgContent='C', nValidDay=425, DisplayPeriods=3  where cMsgID='X' and nMsgType=100 "
            "and cReceiver='demo' ");
}

// An identifier is the row's as stored: spaces around it are part of it, for
// the update and the delete alike.
TEST(StatementsTest, UpdateAndDeleteUseTheIdentifierUntrimmed) {
  EXPECT_NE(UpdateMemo({}, " X ", "demo").find("where cMsgID=' X ' and"), std::string::npos);
  EXPECT_EQ(DeleteMemo("  X  ", "demo"),
            "delete from VXSystem..za_message where cMsgID='  X  ' and nMsgType=100 and cReceiver='demo'");
  EXPECT_EQ(DeleteMemo("", "demo"),
            "delete from VXSystem..za_message where cMsgID='' and nMsgType=100 and cReceiver='demo'");
}

TEST(StatementsTest, ApostrophesInEveryTextValueAreDoubled) {
  NewMemo memo{"Bob's 'quoted' <b>", "it's", "o'neil", "2024-03-01 09:30:00", 0, 0, "a'c", "2024"};
  auto insert = InsertMemo(memo);
  ASSERT_TRUE(insert.ok());
  EXPECT_NE(insert->find("'Bob''s ''quoted'' <b>','it''s','o''neil','o''neil'"), std::string::npos)
      << *insert;
  EXPECT_NE(insert->find(", 'a''c', 2024)"), std::string::npos) << *insert;

  EXPECT_EQ(SelectByReceiver("o'neil"),
            "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver='o''neil'");
  EXPECT_EQ(SelectById("x' or '1'='1", "o'neil"),
            "select * from VXSystem..ZA_Message where nMsgType=100 and cMsgID='x'' or ''1''=''1' "
            "and cReceiver='o''neil' ");
  EXPECT_EQ(DeleteMemo("x' or 1=1 --", "o'neil"),
            "delete from VXSystem..za_message where cMsgID='x'' or 1=1 --' and nMsgType=100 and "
            "cReceiver='o''neil'");
  MemoChange change{"2024-03-01 09:30:00", "a'b", "'", 1, 1};
  EXPECT_EQ(UpdateMemo(change, "i'd", "o'neil"),
            "update VXSystem..za_message set dSend='2024-03-01 09:30:00', cMsgTitle='a''b', "
            "cMsgContent='''', nValidDay=1, DisplayPeriods=1  where cMsgID='i''d' and nMsgType=100 "
            "and cReceiver='o''neil' ");
}

TEST(StatementsTest, NegativeNumbersKeepTheirSign) {
  MemoChange change{"2024-03-01 00:00:00", "t", "c", -5, -1};
  EXPECT_NE(UpdateMemo(change, "X", "demo").find("nValidDay=-5, DisplayPeriods=-1  where"),
            std::string::npos);
}

TEST(StatementsTest, TheYearIsWrittenBareOnlyWhenItIsAWholeNumber) {
  struct Case {
    const char* year;
    bool accepted;
  };
  const Case cases[] = {
      {"2024", true},  {"0", true},        {"-1", true},       {" 2024 ", true},
      {"", false},     {"20x4", false},    {"2024.5", false},  {"2024;drop table x", false},
      {"-", false},    {"1234567890", false}, {"2024)", false}, {"'2024'", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year);
    NewMemo memo{"t", "c", "demo", "2024-03-01 09:30:00", 570, 2, "001", c.year};
    auto text = InsertMemo(memo);
    EXPECT_EQ(text.ok(), c.accepted);
    if (text.ok()) {
      EXPECT_EQ(text->substr(text->size() - std::string(c.year).size() - 1),
                std::string(c.year) + ")");
    } else {
      EXPECT_EQ(text.status().code(), hr::kInvalidArg);
      EXPECT_NE(text.status().description().find(c.year), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace agendia::memo
