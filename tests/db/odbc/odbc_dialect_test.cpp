// The host's statements as each database behind ODBC reads them.

#include "db/odbc/odbc_dialect.h"
#include "db/odbc/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::db {
namespace {

const std::string kInsert =
    "insert into VXSystem..za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
    "cReceiver, dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) VALUES(NewID(), 100, "
    "'Team meeting','Room 3','demo','demo','2024-03-01 09:30:00', 570, 0, 2, '001', 2024)";

bool IsNewId(std::string_view id) {
  if (id.size() != 36) return false;
  for (size_t i = 0; i < id.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    const char c = id[i];
    if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return id[14] == '4';  // version 4, random
}

// Every literal holding a new upper-case identifier, as '<ID>'.
std::string WithIdsMarked(std::string text) {
  for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 1)) {
    if (at + 37 < text.size() && text[at + 37] == '\'' && IsNewId(std::string_view(text).substr(at + 1, 36))) {
      text.replace(at + 1, 36, "<ID>");
      at += 5;
    }
  }
  return text;
}

TEST(OdbcDialect, IsChosenByWhatTheDriverSaysTheDatabaseIs) {
  EXPECT_EQ(DialectOfDbms("Microsoft SQL Server"), OdbcDialect::kSqlServer);
  EXPECT_EQ(DialectOfDbms("PostgreSQL"), OdbcDialect::kPostgreSql);
  EXPECT_EQ(DialectOfDbms("SQLite"), OdbcDialect::kSqlite);
  EXPECT_EQ(DialectOfDbms("Oracle"), OdbcDialect::kOther);
}

TEST(OdbcDialect, SqlServerGetsTheStatementByteForByte) {
  EXPECT_EQ(*AdaptForDialect(OdbcDialect::kSqlServer, kInsert), kInsert);
  EXPECT_EQ(*AdaptForDialect(OdbcDialect::kOther, kInsert), kInsert);
}

TEST(OdbcDialect, PostgreSqlLosesTheQualifierBracketsAndNewIdOutsideLiteralsOnly) {
  struct Case {
    std::string statement;
    std::string adapted;
  };
  const Case cases[] = {
      {kInsert,
       "insert into za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
       "dSend,nValidDay,bHasRead, DisplayPeriods, Account, Year) VALUES('<ID>', 100, 'Team "
       "meeting','Room 3','demo','demo','2024-03-01 09:30:00', 570, 0, 2, '001', 2024)"},
      {"select * from vxsystem..ZA_Message where cMsgTitle='VXSystem..x [Year] NewID()' -- NewID()",
       "select * from ZA_Message where cMsgTitle='VXSystem..x [Year] NewID()' -- NewID()"},
      {"select [odd name], [a]]b], \"VXSystem..q\" /* [Year] */ from t",
       "select \"odd name\", \"a]b\", \"VXSystem..q\" /* [Year] */ from t"},
      {"select MyVXSystem..x, newid ( ), NewIDs() from t",
       "select MyVXSystem..x, '<ID>', NewIDs() from t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    StatusOr<std::string> adapted = AdaptForDialect(OdbcDialect::kPostgreSql, c.statement);
    ASSERT_TRUE(adapted.ok());
    EXPECT_EQ(WithIdsMarked(*adapted), c.adapted);
  }
}

TEST(OdbcDialect, SqliteKeepsBracketsAndGetsANewIdentifierForEachCall) {
  const std::string once = *AdaptForDialect(OdbcDialect::kSqlite, kInsert);
  EXPECT_EQ(WithIdsMarked(once),
            "insert into za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
            "dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) VALUES('<ID>', 100, 'Team "
            "meeting','Room 3','demo','demo','2024-03-01 09:30:00', 570, 0, 2, '001', 2024)");
  EXPECT_NE(once, *AdaptForDialect(OdbcDialect::kSqlite, kInsert));
}

TEST(WideText, Utf8AndUtf16ConvertBothWaysAndMarkWhatIsBroken) {
  const std::string text = "Aé週😀";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"Aé週😀");
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_EQ(Utf8ToUtf16("a\xff" "b\xe9"), u"a\uFFFDb\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy");
  // Runs of ASCII at either end, between others, alone, and nothing at all.
  EXPECT_EQ(Utf16ToUtf8(u"2024-03-01 09:30:00"), "2024-03-01 09:30:00");
  EXPECT_EQ(Utf16ToUtf8(u"é週ab😀cd"), "é週ab😀cd");
  EXPECT_EQ(Utf16ToUtf8(u""), "");
  std::string appended = "kept ";
  AppendUtf16AsUtf8(u"tail é", appended);
  EXPECT_EQ(appended, "kept tail é");
}

}  // namespace
}  // namespace agendia::db
