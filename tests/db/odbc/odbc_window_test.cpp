// The typical event (Add, Save, click, Modify, Save, Delete) in the real
// window offscreen, once per database behind ODBC: PostgreSQL through
// psqlODBC, its rows read back with psql, and SQLite through its ODBC
// driver, read back through the sqlite3 library. Then what a server that is
// gone or silent does to the window: a message, and the window stays usable.

#include <agendia/create_calender.h>

#include "db/odbc/postgres_cluster.h"
#include "db/odbc/server_window_fixture.h"
#include "db/odbc/silent_server.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::testing {
namespace {

constexpr const char* kColumns =
    "cMsgTitle, cMsgContent, cSender, cReceiver, dSend, nValidDay, bHasRead, DisplayPeriods, "
    "Account, Year, nMsgType";

class PostgresStore final : public MemoStore {
 public:
  PostgresStore() { cluster_.DeleteAllMemos(); }
  std::string ConnectionString() const override { return cluster_.ConnectionString(); }
  Texts Rows() override {
    auto rows = cluster_.Psql(std::string("select ") + kColumns + " from za_message");
    EXPECT_TRUE(rows.has_value()) << "psql failed";
    return rows.value_or(Texts{"<psql failed>"});
  }
  void DeleteAll() override { cluster_.DeleteAllMemos(); }
  PostgresCluster& cluster() { return cluster_; }

 private:
  PostgresCluster cluster_;
};

class SqliteOdbcStore final : public MemoStore {
 public:
  std::string ConnectionString() const override {
    return "Driver=SQLite3;Database=" + database_.path() + ";NoCreat=1";
  }
  Texts Rows() override {
    Texts rows;
    for (const auto& row : database_.Query(std::string("select ") + kColumns + " from ZA_Message")) {
      std::string line;
      for (const char* name : {"cMsgTitle", "cMsgContent", "cSender", "cReceiver", "dSend",
                               "nValidDay", "bHasRead", "DisplayPeriods", "Account", "Year",
                               "nMsgType"}) {
        if (!line.empty()) line += "|";
        line += row.at(name).value_or("<NULL>");
      }
      rows.push_back(line);
    }
    return rows;
  }
  void DeleteAll() override { database_.Run("delete from ZA_Message"); }

 private:
  MemoDatabase database_;
};

// The window through the component's public entry point, as a host that
// links the library creates it.
class OdbcWindowTest : public ServerWindowTest {
 protected:
  ComPtr<_Calender> NewCalendar() override {
    auto created = CreateCalender();
    EXPECT_TRUE(created.ok()) << created.status().description();
    return created.ok() ? *created : ComPtr<_Calender>();
  }

  void RunTypicalEvent(MemoStore& store, const QString& title) {
    const QString content = "Room 3, bring the slides";
    ServerWindowTest::RunTypicalEvent(store, store.ConnectionString(), title, content, "Team sync",
                                      S(content));
  }
};

TEST_F(OdbcWindowTest, SaveOfAMemoDeletedMeanwhileKeepsTheEditorAndSaysSoOnPostgreSql) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  RunSaveOfAMemoDeletedMeanwhile(store);
}

TEST_F(OdbcWindowTest, SaveOfAMemoDeletedMeanwhileKeepsTheEditorAndSaysSoOnSqliteThroughOdbc) {
  SqliteOdbcStore store;
  RunSaveOfAMemoDeletedMeanwhile(store);
}

TEST_F(OdbcWindowTest, TheTypicalEventOnPostgreSqlThroughPsqlOdbc) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  RunTypicalEvent(store, QString::fromUtf8("週會 Bob's"));
}

TEST_F(OdbcWindowTest, TheTypicalEventOnSqliteThroughItsOdbcDriver) {
  SqliteOdbcStore store;
  RunTypicalEvent(store, QString::fromUtf8("週會 Bob's"));
}

TEST_F(OdbcWindowTest, AServerStoppedWhileTheWindowIsOpenFailsOneActionAndTheNextWorks) {
  PostgresStore store;
  ASSERT_TRUE(store.cluster().ready());
  Texts while_stopped, after_restart;
  bool paused = false, resumed = false;
  UseWindow(store.ConnectionString(), [&](Controls& c) {
    paused = store.cluster().Pause();
    AddMemo(c, "Lost", "x");
    while_stopped = MemoTitles(*c.tree);
    resumed = store.cluster().Resume();
    AddMemo(c, "Kept", "x");
    after_restart = MemoTitles(*c.tree);
  });
  ASSERT_TRUE(paused && resumed);
  // The save's own message only: a failed save keeps the editor open and
  // reads nothing more from a server it cannot reach.
  ASSERT_EQ(messages_.size(), 1u);
  for (const std::string& text : messages_) {
    EXPECT_TRUE(text.ends_with("(-2147467259)")) << text;
    EXPECT_EQ(text.find(store.cluster().password()), std::string::npos) << text;
  }
  EXPECT_EQ(while_stopped, Texts{});
  EXPECT_EQ(after_restart, Texts{"Kept"});
  EXPECT_EQ(store.Rows().size(), 1u);
}

TEST_F(OdbcWindowTest, ASilentSqlServerShowsATimeoutAndTheWindowStaysUsable) {
  SilentServer server;
  ASSERT_NE(server.port(), 0);
  bool editor_opened = false;
  UseWindow("Provider=SQLOLEDB.1;Password=S3cret!;User ID=sa;Initial Catalog=VXSystem;"
            "Data Source=127.0.0.1," + std::to_string(server.port()) + ";Connect Timeout=2",
            [&](Controls& c) {
              Click(c.add);
              editor_opened = c.save->isEnabled() && c.title->isEnabled();
            });
  ASSERT_EQ(messages_.size(), 1u);  // the tree load as the window opened
  EXPECT_TRUE(messages_[0].ends_with("(-2147217871)")) << messages_[0];
  EXPECT_EQ(messages_[0].find("S3cret"), std::string::npos);
  EXPECT_TRUE(editor_opened);
}

}  // namespace
}  // namespace agendia::testing
