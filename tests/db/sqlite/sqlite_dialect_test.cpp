#include "db/sqlite/sqlite_dialect.h"

#include <gtest/gtest.h>

namespace agendia::db {
namespace {

TEST(DbAdaptForSqlite, RemovesTheDatabaseQualifierOutsideLiteralsNamesAndComments) {
  struct Case {
    const char* statement;
    const char* adapted;
  };
  const Case cases[] = {
      {"select * from VXSystem..ZA_Message where nMsgType=100",
       "select * from ZA_Message where nMsgType=100"},
      {"delete from vxsystem..za_message where cMsgID='X'",
       "delete from za_message where cMsgID='X'"},
      {"select * from VXSYSTEM..a join VxSystem..b on 1=1", "select * from a join b on 1=1"},
      {"insert into VXSystem..za_message (cMsgTitle) VALUES('VXSystem..x')",
       "insert into za_message (cMsgTitle) VALUES('VXSystem..x')"},
      {"update VXSystem..t set a='It''s VXSystem..t', b=N'VXSystem..'",
       "update t set a='It''s VXSystem..t', b=N'VXSystem..'"},
      {"select 'a''' , VXSystem..t.x from VXSystem..t", "select 'a''' , t.x from t"},
      {"select [VXSystem..odd], \"VXSystem..odd\" from VXSystem..t",
       "select [VXSystem..odd], \"VXSystem..odd\" from t"},
      {"select 1 -- it's VXSystem..t\nfrom VXSystem..t", "select 1 -- it's VXSystem..t\nfrom t"},
      {"select /* it's VXSystem..t */ 1 from VXSystem..t", "select /* it's VXSystem..t */ 1 from t"},
      {"select * from myVXSystem..t", "select * from myVXSystem..t"},
      {"select * from VXSystem.dbo.t", "select * from VXSystem.dbo.t"},
      {"select * from [Year] where 'unclosed VXSystem..", "select * from [Year] where 'unclosed VXSystem.."},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(AdaptForSqlite(c.statement), c.adapted);
  }
}

// SQLite's own token forms: a literal after a backtick-quoted name or a
// variable with a (...) part is still a literal, and a removed qualifier never
// lets its neighbours run together into a comment or another operator.
TEST(DbAdaptForSqlite, FollowsSqlitesTokensAndNeverJoinsTwo) {
  struct Case {
    const char* statement;
    const char* adapted;
  };
  const Case cases[] = {
      {"select `a'b`, 'VXSystem..x' from VXSystem..t", "select `a'b`, 'VXSystem..x' from t"},
      {"select `it's` from VXSystem..t where c='VXSystem..k'", "select `it's` from t where c='VXSystem..k'"},
      {"select $a(') from VXSystem..t where c='VXSystem..k'",
       "select $a(') from t where c='VXSystem..k'"},
      {"select @v, :w, #z from VXSystem..t", "select @v, :w, #z from t"},
      {"select 1-VXSystem..-2", "select 1- -2"},
      {"select 1/VXSystem..*2*/", "select 1/ *2*/"},
      {"select 1 <VXSystem..> 2", "select 1 < > 2"},
      {"select aVXSystem..b", "select aVXSystem..b"},
      {"select a VXSystem..b", "select a b"},
      {"select 1.VXSystem..e5", "select 1.VXSystem..e5"},
      {"select x'0a',VXSystem..t.x", "select x'0a',t.x"},
      {"select 'VXSystem..", "select 'VXSystem.."},
      // A byte-order mark where a token starts is space to SQLite, so the
      // name after it is a qualifier like any other; inside a name it is
      // part of the name.
      {"select * from \xEF\xBB\xBFVXSystem..t", "select * from \xEF\xBB\xBFt"},
      {"select * from \xEF\xBB\xBF\xEF\xBB\xBFVXSystem..t", "select * from \xEF\xBB\xBF\xEF\xBB\xBFt"},
      {"select * from\xEF\xBB\xBFVXSystem..t", "select * from\xEF\xBB\xBFVXSystem..t"},
      {"select * from a\xEF\xBB\xBFVXSystem..t", "select * from a\xEF\xBB\xBFVXSystem..t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(AdaptForSqlite(c.statement), c.adapted);
  }
}

}  // namespace
}  // namespace agendia::db
