// Hostile corpus, connection strings: a string that names the memo database
// opens it; any other is refused with a message that names no value of the
// string (it may hold a password), and the memo table stays as it was. Each
// backend has the strings of its own kind: the embedded backend's
// Provider=SQLite strings, the SQLite ODBC driver's and psqlODBC's.

#include "reliability/corpus_fixture.h"

#if AGENDIA_RELIABILITY_WITH_ODBC
#include "db/odbc/postgres_cluster.h"
#endif

namespace agendia::testing {
namespace {

struct ConnectionCase {
  const char* name;
  std::function<std::string(const std::string& file)> text;
  bool opens;
};

std::vector<ConnectionCase> EmbeddedCases() {
  return {
      {"provider and data source", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f; }, true},
      {"bare path", [](const std::string& f) { return f; }, true},
      {"quoted data source", [](const std::string& f) { return "Provider=SQLite;Data Source=\"" + f + "\""; }, true},
      {"keys in other letter case", [](const std::string& f) { return "provider=sqlite;DATA SOURCE=" + f; }, true},
      {"URI with nolock", [](const std::string& f) { return "Data Source=file:" + f + "?nolock=1"; }, false},
      {"URI read-only", [](const std::string& f) { return "Provider=SQLite;Data Source=file:" + f + "?mode=ro"; }, false},
      {"URI immutable", [](const std::string& f) { return "Provider=SQLite;Data Source=file://" + f + "?immutable=1"; }, false},
      {"bare URI", [](const std::string& f) { return "file:" + f + "?nolock=1"; }, false},
      {"URI in upper case", [](const std::string& f) { return "Data Source=FILE:" + f; }, false},
      {"password with a semicolon", [](const std::string& f) { return "Provider=SQLite;Password=SECRET;SECRET2;Data Source=" + f; }, false},
      {"unclosed quote", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f + ";Password={SECRET"; }, false},
      {"text after a quote", [](const std::string& f) { return "Provider=SQLite;Password='SECRET'x;Data Source=" + f; }, false},
      {"other provider", [](const std::string&) { return std::string("Provider=SQLOLEDB;Data Source=srv;Password=SECRET"); }, false},
      {"missing file", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f + ".gone"; }, false},
      {"folder", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f.substr(0, f.rfind('/')); }, false},
      {"busy timeout that is no number", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f + ";Busy Timeout=SECRET"; }, false},
      {"blank", [](const std::string&) { return std::string("  "); }, false},
      {"only separators", [](const std::string&) { return std::string(";;;"); }, false},
      {"NUL in the path", [](const std::string& f) { return "Provider=SQLite;Data Source=" + f + std::string("\0SECRET", 7); }, false},
      {"in-memory database", [](const std::string&) { return std::string(":memory:"); }, false},
  };
}

// The SQLite ODBC driver's strings for the file `f`.
std::vector<ConnectionCase> SqliteOdbcCases() {
  return {
      {"driver and database", [](const std::string& f) { return "Driver=SQLite3;Database=" + f + ";NoCreat=1"; }, true},
      {"through the ODBC provider", [](const std::string& f) { return "Provider=MSDASQL.1;Driver=SQLite3;Database=" + f + ";NoCreat=1"; }, true},
      {"keys in other letter case", [](const std::string& f) { return "driver=SQLite3;DATABASE=" + f + ";nocreat=1"; }, true},
      {"braced values", [](const std::string& f) { return "Driver={SQLite3};Database={" + f + "};NoCreat=1"; }, true},
      {"missing file", [](const std::string& f) { return "Driver=SQLite3;Database=" + f + ".gone;NoCreat=1;Pwd=SECRET"; }, false},
      {"driver not installed", [](const std::string& f) { return "Driver=NoSuchDriver;Database=" + f + ";Pwd=SECRET"; }, false},
      {"unclosed brace", [](const std::string& f) { return "Driver=SQLite3;Database=" + f + ";NoCreat=1;Pwd={SECRET"; }, false},
      {"password with a semicolon", [](const std::string& f) { return "Driver=NoSuchDriver;Database=" + f + ";Pwd=SECRET;SECRET2"; }, false},
      {"blank", [](const std::string&) { return std::string("  "); }, false},
  };
}

#if AGENDIA_RELIABILITY_WITH_ODBC
// psqlODBC's strings for the suite's cluster, from the one that opens it.
std::vector<ConnectionCase> PostgresCases(const PostgresCluster& cluster) {
  const std::string good = cluster.ConnectionString();
  const std::string password = "Pwd=" + cluster.password();
  const auto with = [good](std::string from, std::string to) {
    return [=](const std::string&) {
      std::string text = good;
      const size_t at = text.find(from);
      if (at != std::string::npos) text.replace(at, from.size(), to);
      return text;
    };
  };
  return {
      {"driver, server and database", with("", ""), true},
      {"through the ODBC provider", [good](const std::string&) { return "Provider=MSDASQL.1;" + good; }, true},
      {"braced password", with(password, "Pwd={" + cluster.password() + "}"), true},
      {"wrong password", with(password, "Pwd=SECRETwrong"), false},
      {"password with a semicolon", with(password, "Pwd=SECRET;SECRET2"), false},
      {"unclosed brace", with(password, "Pwd={SECRET"), false},
      {"database that is not there", with("Database=vxsystem", "Database=nosuchdb"), false},
      {"driver not installed", with("{PostgreSQL Unicode}", "{No Such Driver}"), false},
  };
}
#endif

TEST_F(CorpusTest, ConnectionStringsOpenTheFileOrAreRefusedNamingNoValue) {
  std::vector<ConnectionCase> cases = EmbeddedCases();
  std::string secret = "SECRET";
  if (target->Name() == "sqliteodbc") cases = SqliteOdbcCases();
#if AGENDIA_RELIABILITY_WITH_ODBC
  if (target->Server()) {
    cases = PostgresCases(*target->Server());
    secret = target->Server()->password();
  }
#endif
  for (const ConnectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Fresh());
    target->Insert(Neighbour());
    context.conn = c.text(target->File().value_or(""));
    const Dump before = target->ReadDump();
    std::set<std::string> listed;
    auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
      listed = ListedMemos(w);
      AddMemo(w, "Title", "Content");
    });
    const Dump after = target->ReadDump();
    for (const std::string& text : messages) {
      EXPECT_EQ(text.find("SECRET"), std::string::npos) << text;
      EXPECT_EQ(text.find(secret), std::string::npos) << text;
    }
    if (c.opens) {
      EXPECT_TRUE(messages.empty()) << messages.front();
      EXPECT_TRUE(listed.count(Neighbour().id));
      EXPECT_TRUE(OnlyChanged(before, after, Inserted({{"cMsgTitle", Text("Title")}})));
    } else {
      EXPECT_FALSE(messages.empty());
      EXPECT_TRUE(listed.empty());
      EXPECT_TRUE(OnlyChanged(before, after, {}));
    }
  }
}

}  // namespace
}  // namespace agendia::testing
