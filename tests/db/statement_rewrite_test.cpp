// The SQL Server text rewritten for PostgreSQL and SQLite behind ODBC: what
// is changed never runs together with its neighbours, and comments end where
// each database ends them.

#include "db/statement_rewrite.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::db {
namespace {

constexpr StatementRewrite kPostgreSql{.drop_database_qualifier = true,
                                       .unbracket_names = true,
                                       .new_id_as_literal = true,
                                       .nested_comments = true};
constexpr StatementRewrite kSqlite{
    .drop_database_qualifier = true, .new_id_as_literal = true, .bom_is_space = true};

// Every literal holding a new identifier as '<ID>'.
std::string WithIdsMarked(std::string text) {
  for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 1)) {
    if (at + 37 < text.size() && text[at + 37] == '\'' && text[at + 9] == '-' && text[at + 15] == '4') {
      text.replace(at + 1, 36, "<ID>");
      at += 5;
    }
  }
  return text;
}

struct Case {
  const char* statement;
  const char* rewritten;
};

void ExpectRewrites(const StatementRewrite& rewrite, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    StatusOr<std::string> rewritten = RewriteStatement(c.statement, rewrite);
    ASSERT_TRUE(rewritten.ok()) << rewritten.status().description();
    EXPECT_EQ(WithIdsMarked(*rewritten), c.rewritten);
  }
}

TEST(StatementRewrite, NeverJoinsAReplacementWithItsNeighboursIntoOtherTokens) {
  ExpectRewrites(kPostgreSql, {
      {"select 1-VXSystem..-2", "select 1- -2"},           // not a comment
      {"select 1/VXSystem..*2*/3", "select 1/ *2*/3"},     // nor a block comment
      {"select 1 <VXSystem..= 2", "select 1 < = 2"},       // nor another operator
      {"select NewID()'id'", "select '<ID>' 'id'"},        // not one literal
      {"select 'a'NewID()", "select 'a' '<ID>'"},
      {"select [E]'a'", "select E 'a'"},                   // not an escape string
      {"select U&[x y]", "select U& \"x y\""},
      {"select N[x y]", "select N \"x y\""},
      {"select \"a\"[b c]", "select \"a\" \"b c\""},       // not one quoted name
      {"select [a]b, b[a]", "select a b, b a"},
      {"select 1.VXSystem...5", "select 1. .5"},
      {"select :VXSystem..v", "select : v"},
      // What joins nothing is left exactly as the server has always had it.
      {"insert into VXSystem..za_message (cMsgId, [Year]) VALUES(NewID(), 2024)",
       "insert into za_message (cMsgId, Year) VALUES('<ID>', 2024)"},
      {"select x=[Year],(NewID()) from VXSystem..t", "select x=Year,('<ID>') from t"},
  });
  ExpectRewrites(kSqlite, {
      {"select 1-VXSystem..-2", "select 1- -2"},
      {"select NewID()'id', X[y]", "select '<ID>' 'id', X[y]"},
      {"select xVXSystem..'a'", "select xVXSystem..'a'"},
  });
}

TEST(StatementRewrite, ReadsCommentsAsTheDatabaseDoes) {
  // PostgreSQL nests block comments and ends a line comment at CR or LF.
  ExpectRewrites(kPostgreSql, {
      {"select /* /* */ VXSystem..x NewID() */ VXSystem..y", "select /* /* */ VXSystem..x NewID() */ y"},
      {"select /* /* */ VXSystem..x", "select /* /* */ VXSystem..x"},
      {"select 1 -- VXSystem..x\rVXSystem..y", "select 1 -- VXSystem..x\ry"},
      {"select 1 -- VXSystem..x\nVXSystem..y", "select 1 -- VXSystem..x\ny"},
  });
  // SQLite ends a block comment at the first */ and a line comment at LF.
  ExpectRewrites(kSqlite, {
      {"select /* /* */ VXSystem..x /* */", "select /* /* */ x /* */"},
      {"select 1 -- VXSystem..x\rVXSystem..y\nVXSystem..z", "select 1 -- VXSystem..x\rVXSystem..y\nz"},
  });
}

// SQLite reads a byte-order mark where a token starts as a space; inside a
// name, and for PostgreSQL, it is a character of the name.
TEST(StatementRewrite, ReadsAByteOrderMarkAsSqliteDoes) {
  ExpectRewrites(kSqlite, {
      {"select * from \xEF\xBB\xBFVXSystem..t", "select * from \xEF\xBB\xBFt"},
      {"select * from \xEF\xBB\xBF\xEF\xBB\xBFVXSystem..t", "select * from \xEF\xBB\xBF\xEF\xBB\xBFt"},
      {"select * from\xEF\xBB\xBFVXSystem..t", "select * from\xEF\xBB\xBFVXSystem..t"},
      {"select \xEF\xBB\xBFNewID()", "select \xEF\xBB\xBF'<ID>'"},
      {"select * from a\xEF\xBB\xBFVXSystem..t", "select * from a\xEF\xBB\xBFVXSystem..t"},
  });
  ExpectRewrites(kPostgreSql, {
      {"select * from \xEF\xBB\xBFVXSystem..t", "select * from \xEF\xBB\xBFVXSystem..t"},
  });
}

}  // namespace
}  // namespace agendia::db
