// The host's statements as each database behind ODBC reads them.

#include "db/odbc/odbc_dialect.h"
#include "db/odbc/wide_text.h"
#include "db/sqlserver_literals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(OdbcDialect, AnUnknownDatabaseGetsTheStatementByteForByte) {
  EXPECT_EQ(*AdaptForDialect(OdbcDialect::kOther, kInsert), kInsert);
}

TEST(OdbcDialect, SqlServerGetsUnicodeTextAndALanguageNeutralDateAndNothingElseChanges) {
  EXPECT_EQ(*AdaptForDialect(OdbcDialect::kSqlServer, kInsert),
            "insert into VXSystem..za_message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, "
            "cReceiver, dSend,nValidDay,bHasRead, DisplayPeriods, Account, [Year]) VALUES(NewID(), "
            "100, N'Team meeting',N'Room 3',N'demo',N'demo','2024-03-01T09:30:00', 570, 0, 2, "
            "N'001', 2024)");
}

struct Written {
  std::string composed;
  std::string for_sql_server;
};

TEST(SqlServerLiterals, TextIsUnicodeTheKeyStaysPlainAndABackslashBeforeALineBreakSurvives) {
  const std::vector<Written> cases = {
      {"select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver='张三'",
       "select * from VXSystem..ZA_Message where nMsgType=100 and cReceiver=N'张三'"},
      {"select * from VXSystem..ZA_Message where nMsgType=100 and cMsgID='AB-1' and "
       "cReceiver='demo' ",
       "select * from VXSystem..ZA_Message where nMsgType=100 and cMsgID='AB-1' and "
       "cReceiver=N'demo' "},
      {"update VXSystem..za_message set dSend='2024-03-13 07:05:00', cMsgTitle='团队 團隊 😀', "
       "cMsgContent='Bob''s', nValidDay=425, DisplayPeriods=3  where cMsgID='X' and "
       "nMsgType=100 and cReceiver='demo' ",
       "update VXSystem..za_message set dSend='2024-03-13T07:05:00', cMsgTitle=N'团队 團隊 😀', "
       "cMsgContent=N'Bob''s', nValidDay=425, DisplayPeriods=3  where cMsgID='X' and "
       "nMsgType=100 and cReceiver=N'demo' "},
      {"delete from VXSystem..za_message where cMsgID='X' and nMsgType=100 and cReceiver='demo'",
       "delete from VXSystem..za_message where cMsgID='X' and nMsgType=100 and cReceiver=N'demo'"},
      // Letter case, brackets and spaces around '=' do not hide the column.
      {"delete from t where [CMSGID] = 'X' and CRECEIVER = 'u'",
       "delete from t where [CMSGID] = 'X' and CRECEIVER = N'u'"},
      // A backslash that ends a line: the literal ends there and goes on.
      {"update t set cMsgContent='C:\\tmp\\\nnext' where cMsgID='X'",
       "update t set cMsgContent=N'C:\\tmp\\' + N'\nnext' where cMsgID='X'"},
      {"update t set cMsgContent='a\\\r\nb\\\\\nc\\' where cMsgID='X\\\nY'",
       "update t set cMsgContent=N'a\\' + N'\r\nb\\\\' + N'\nc\\' where cMsgID='X\\' + '\nY'"},
      // A title that looks like a date keeps its space; only dSend's changes.
      {"update t set cMsgTitle='2024-03-01 09:30:00', dSend='2024-03-01 09:30:00'",
       "update t set cMsgTitle=N'2024-03-01 09:30:00', dSend='2024-03-01T09:30:00'"},
      {"update t set dSend='soon'", "update t set dSend=N'soon'"},
      // Already Unicode, comments, quoted names and names ending in N stay.
      {"select N'a', [it's], \"x'y\" -- 'c'\n/* '/* d */' */ from t where cMsgTitleN='e'",
       "select N'a', [it's], \"x'y\" -- 'c'\n/* '/* d */' */ from t where cMsgTitleN=N'e'"},
      {"insert into t (cMsgId, cMsgTitle) values ('K', 'v')",
       "insert into t (cMsgId, cMsgTitle) values ('K', N'v')"},
      {"insert into db..t ([t].[cMsgTitle], x.cMsgId, dSend) VALUES(NewID(), 'K', "
       "'2024-12-31 23:59:00')",
       "insert into db..t ([t].[cMsgTitle], x.cMsgId, dSend) VALUES(NewID(), 'K', "
       "'2024-12-31T23:59:00')"},
      // A literal right after a name stays apart from it.
      {"select'a'from t where x=1", "select N'a'from t where x=1"},
      {"select * from t where cReceiver='unclosed", "select * from t where cReceiver='unclosed"},
      {"", ""},
  };
  for (const Written& c : cases) {
    SCOPED_TRACE(c.composed);
    EXPECT_EQ(WriteLiteralsForSqlServer(c.composed), c.for_sql_server);
  }
}

TEST(SqlServerLiterals, FreeTdsGetsHalfTheCommandTimeoutAsItWaitsAsLongAgainForItsCancel) {
  EXPECT_EQ(QueryTimeoutForDriver("libtdsodbc.so", 300), 150);
  EXPECT_EQ(QueryTimeoutForDriver("libtdsodbc.so", 5), 3);
  EXPECT_EQ(QueryTimeoutForDriver("libtdsodbc.so", 1), 1);
  EXPECT_EQ(QueryTimeoutForDriver("libtdsodbc.so", 0), 0);
  EXPECT_EQ(QueryTimeoutForDriver("libmsodbcsql-18.3.so.2.1", 300), 300);
  EXPECT_EQ(QueryTimeoutForDriver("psqlodbcw.so", 300), 300);
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
