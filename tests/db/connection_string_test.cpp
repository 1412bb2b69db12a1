#include "db/connection_string.h"

#include "db/database.h"
#include "db/sqlite/sqlite_backend.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace agendia::db {
namespace {

std::optional<std::string> ValueOf(const ConnectionString& settings, const char* key) {
  const std::string* value = settings.Find(key);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

TEST(DbConnectionString, ReadsKeysValuesAndBarePaths) {
  struct Case {
    const char* text;
    bool bare_path;
    const char* key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"Provider=SQLite;Data Source=/db/VXSystem.db", false, "data source", "/db/VXSystem.db"},
      {"Provider=SQLite;Data Source=/db/VXSystem.db", false, "PROVIDER", "SQLite"},
      {"  provider = SQLite ; DATA SOURCE =  /db/VX System.db  ;", false, "Data Source",
       "/db/VX System.db"},
      {"Data Source=\"/db/a;b.db\";Provider=SQLite", false, "Data Source", "/db/a;b.db"},
      {"Data Source='/db/it''s.db'", false, "Data Source", "/db/it's.db"},
      {"Data Source=\"say \"\"hi\"\"\"", false, "Data Source", "say \"hi\""},
      {"Driver={SQL Server};Server=host", false, "driver", "SQL Server"},
      {"Data Source=/db/a=b.db", false, "Data Source", "/db/a=b.db"},
      {"Busy Timeout=100;;Provider=SQLite", false, "busy timeout", "100"},
      {"Provider=A;Provider=B", false, "Provider", "B"},
      {"Provider=SQLite", false, "Data Source", std::nullopt},
      {"Data Source=", false, "Data Source", ""},
      {"/db/VXSystem.db", true, "Data Source", "/db/VXSystem.db"},
      {"  /db/VXSystem.db  ", true, "Data Source", "/db/VXSystem.db"},
      {"\"/db/VX System.db\"", true, "Data Source", "/db/VX System.db"},
      {"/db/VXSystem.db", true, "Provider", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.key);
    StatusOr<ConnectionString> settings = ConnectionString::Parse(c.text);
    ASSERT_TRUE(settings.ok()) << settings.status().description();
    EXPECT_EQ(settings->is_bare_path(), c.bare_path);
    EXPECT_EQ(ValueOf(*settings, c.key), c.value);
  }
}

TEST(DbConnectionString, RefusesMalformedTextNamingTheKeyButNotTheValues) {
  struct Case {
    std::string text;
    const char* description;
  };
  const Case cases[] = {
      {"", "Invalid connection string: it is empty"},
      {"   ", "Invalid connection string: it is empty"},
      {"Provider=SQLite;Secret", "Invalid connection string: the part after 'Provider' has no '='"},
      {"Secret;Provider=SQLite", "Invalid connection string: its first part has no '='"},
      {"Provider=SQLite;Password=ab;cd;Data Source=x",
       "Invalid connection string: a part after 'Password' has no '=' (a password that holds ';' "
       "must be quoted)"},
      // After a bare password, what follows may be the rest of it: neither a
      // key nor a value of it is repeated.
      {"Provider=SQLite;Password=Sesame;Open=now;x9",
       "Invalid connection string: a part after 'Password' has no '=' (a password that holds ';' "
       "must be quoted)"},
      {"pwd=Sesame;Open='now", "Invalid connection string: the value of a part after 'pwd' has no "
                               "closing quote"},
      {"PWD=Sesame;Open=\"now\" x9", "Invalid connection string: the value of a part after 'PWD' "
                                   "has text after its closing quote"},
      // A quoted password cannot run on: the next key is named as usual.
      {"Password='Se;same';Data Source", "Invalid connection string: the part after 'Password' has "
                                         "no '='"},
      {std::string("Data Source=x\0Secret", 20), "Invalid connection string: it holds a NUL character"},
      {"=SQLite", "Invalid connection string: a part has no key before '='"},
      {"Password=\"abc", "Invalid connection string: the value of 'Password' has no closing quote"},
      {"Password='abc' x;Provider=SQLite",
       "Invalid connection string: the value of 'Password' has text after its closing quote"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    StatusOr<ConnectionString> settings = ConnectionString::Parse(c.text);
    ASSERT_FALSE(settings.ok());
    EXPECT_EQ(settings.status().code(), err::kUnspecified);
    EXPECT_EQ(settings.status().description(), c.description);
  }
}

TEST(DbSqliteLockWait, TakesBusyTimeoutThenConnectionTimeoutThenItsOwnBound) {
  struct Case {
    const char* text;
    long connection_timeout_seconds;
    int milliseconds;
  };
  const Case cases[] = {
      {"Provider=SQLite;Data Source=x", 0, 5000},
      {"Provider=SQLite;Data Source=x", 15, 15000},
      {"Provider=SQLite;Data Source=x;Busy Timeout=100", 15, 100},
      {"Provider=SQLite;Data Source=x;busy timeout=0", 0, 0},
      {"Provider=SQLite;Data Source=x", 100000000, 2147483647},
      {"x", 0, kDefaultLockWaitMilliseconds},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    StatusOr<ConnectionString> settings = ConnectionString::Parse(c.text);
    ASSERT_TRUE(settings.ok());
    StatusOr<int> wait = SqliteLockWaitMilliseconds(*settings, c.connection_timeout_seconds);
    ASSERT_TRUE(wait.ok()) << wait.status().description();
    EXPECT_EQ(*wait, c.milliseconds);
  }
}

TEST(DbSqliteLockWait, RefusesABusyTimeoutThatIsNotWholeMilliseconds) {
  for (const char* value : {"-1", "1.5", "abc", "", "99999999999"}) {
    SCOPED_TRACE(value);
    StatusOr<ConnectionString> settings =
        ConnectionString::Parse(std::string("Data Source=x;Busy Timeout=") + value);
    ASSERT_TRUE(settings.ok());
    StatusOr<int> wait = SqliteLockWaitMilliseconds(*settings, 0);
    ASSERT_FALSE(wait.ok());
    EXPECT_EQ(wait.status().code(), err::kUnspecified);
    EXPECT_EQ(wait.status().description(), "Busy Timeout must be a whole number of milliseconds");
  }
}

}  // namespace
}  // namespace agendia::db
