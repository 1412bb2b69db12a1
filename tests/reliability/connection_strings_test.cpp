// Hostile corpus, connection strings: a string that names the memo file opens
// it; any other is refused with one message that names no value of the
// string (it may hold a password), and the memo table stays as it was.

#include "reliability/corpus_fixture.h"

namespace agendia::testing {
namespace {

struct ConnectionCase {
  const char* name;
  std::function<std::string(const std::string& file)> text;
  bool opens;
};

std::vector<ConnectionCase> Cases() {
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

TEST_F(CorpusTest, ConnectionStringsOpenTheFileOrAreRefusedNamingNoValue) {
  if (BackendName() != "sqlite") {
    GTEST_SKIP() << "these are the embedded backend's own strings (Provider=SQLite, Data Source, "
                    "Busy Timeout); the strings of the ODBC backends are tested by OdbcTarget.*";
  }
  for (const ConnectionCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(Fresh());
    if (!target->File()) GTEST_SKIP() << "file connection strings need a file backend";
    target->Insert(Neighbour());
    context.conn = c.text(*target->File());
    const Dump before = target->ReadDump();
    std::set<std::string> listed;
    auto messages = InWindow([&](Window& w, frmCalendarInfo&) {
      listed = ListedMemos(w);
      AddMemo(w, "Title", "Content");
    });
    const Dump after = target->ReadDump();
    for (const std::string& text : messages) {
      EXPECT_EQ(text.find("SECRET"), std::string::npos) << text;
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
