// psqlODBC against the fixture's private PostgreSQL cluster: text byte for
// byte in any locale, the rows each statement changed, a database's own
// shorter statement_timeout kept, and a server that stops answering in the
// middle of a statement (every process paused with SIGSTOP) bounded on the
// client, both on a bare connection and in the window, where Save of a memo
// that was deleted meanwhile also keeps what was typed.

#include "db/database.h"
#include "db/default_client.h"
#include "db/odbc/odbc_backend.h"
#include "db/odbc/postgres_cluster.h"
#include "db/odbc/statement_checks.h"
#include "memo/statements.h"
#include "support/window_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace agendia::db {
namespace {

using testing::PostgresCluster;
using testing::WeeklyMemo;
using Clock = std::chrono::steady_clock;

// Hex of UTF-8 text, as PostgreSQL's encode(convert_to(...)) gives it.
std::string Hex(const std::string& text) {
  static const char* const kDigits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : text) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 15]);
  }
  return hex;
}

// Thaws the server when it goes, also when the test failed half-way.
class FrozenServer {
 public:
  explicit FrozenServer(const PostgresCluster& cluster) : cluster_(cluster) {}
  ~FrozenServer() { Thaw(); }
  FrozenServer(const FrozenServer&) = delete;
  FrozenServer& operator=(const FrozenServer&) = delete;

  void Freeze() { frozen_ = cluster_.Freeze(); }
  void Thaw() {
    if (frozen_) {
      EXPECT_TRUE(cluster_.Thaw());
    }
    frozen_ = false;
  }
  bool frozen() const { return frozen_; }

 private:
  const PostgresCluster& cluster_;
  bool frozen_ = false;
};

// Another session that holds the memo table locked for `seconds`, so that a
// statement on it waits in the server; psql runs in the background and is
// waited for when this goes.
class TableLock {
 public:
  TableLock(const PostgresCluster& cluster, int seconds) {
    const std::string sql = "begin; lock table za_message in exclusive mode; select pg_sleep(" +
                            std::to_string(seconds) + "); commit;";
    pipe_ = popen(cluster.PsqlCommand(sql).c_str(), "r");
    // Long enough for psql to connect and take the lock.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
  }
  ~TableLock() {
    if (pipe_) pclose(pipe_);
  }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;

 private:
  FILE* pipe_ = nullptr;
};

// Waits until no session of the cluster runs an update any more: the one the
// window gave up on ends once the server, thawed, hears its cancel. So the
// thread that still waits for it is done before the test process ends.
void WaitForAbandonedUpdate(const PostgresCluster& cluster) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto active = cluster.Psql(
        "select count(*) from pg_stat_activity where query like 'update %' and state = 'active' "
        "and pid <> pg_backend_pid()");
    if (active && *active == std::vector<std::string>{"0"}) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ADD_FAILURE() << "the abandoned update still runs on the server";
}

class PostgresBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_ALL, "");
    ASSERT_TRUE(cluster_.ready());
    cluster_.DeleteAllMemos();
  }
  void TearDown() override { SetCommandTimeoutCeilingForTesting(0); }

  std::shared_ptr<Connection> Open(long command_timeout = 300) {
    return testing::OpenAsTheWindow(*client_, cluster_.ConnectionString(), command_timeout);
  }

  std::vector<std::string> Rows(const std::string& sql) {
    auto rows = cluster_.Psql(sql);
    EXPECT_TRUE(rows.has_value()) << sql;
    return rows.value_or(std::vector<std::string>{});
  }

  PostgresCluster cluster_;
  std::shared_ptr<Client> client_ = MakeDefaultClient();
};

TEST_F(PostgresBounds, TextOfEveryScriptIsStoredByteForByteAndNoOtherRowChanges) {
  ASSERT_TRUE(cluster_.Psql("insert into za_message (cmsgid, nmsgtype, cmsgtitle, creceiver) "
                            "values ('OTHER', 100, 'untouched', 'bob')"));
  const std::vector<std::string> texts = {
      "张三的备忘", "張三的備忘：體驗會議", "丧丧丧丧丧丧丧丧丧丧丧丧丧丧丧", "Ā ĀĀ Ȁ",
      "Team 😀 meeting 🎉", "it's O'Brien's",
  };
  auto connection = Open();
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(cluster_.Psql("delete from za_message where cmsgid <> 'OTHER'"));
    long rows = -1;
    const Status inserted = connection->Execute(*memo::InsertMemo(WeeklyMemo(text, "c")), &rows);
    ASSERT_TRUE(inserted.ok()) << inserted.description();
    EXPECT_EQ(rows, 1);
    const std::vector<std::string> ids = Rows("select cmsgid from za_message where cmsgid <> 'OTHER'");
    ASSERT_EQ(ids.size(), 1u);
    const std::string changed = "改 " + text;
    const Status updated = connection->Execute(
        memo::UpdateMemo({"2024-03-01 10:00:00", changed, text, 600, 1}, ids[0], "demo"), &rows);
    ASSERT_TRUE(updated.ok()) << updated.description();
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(Rows("select encode(convert_to(cmsgtitle, 'UTF8'), 'hex') || '|' || "
                   "encode(convert_to(cmsgcontent, 'UTF8'), 'hex') from za_message "
                   "where cmsgid <> 'OTHER'"),
              std::vector<std::string>{Hex(changed) + "|" + Hex(text)});
    EXPECT_EQ(Rows("select cmsgid, cmsgtitle, creceiver from za_message where cmsgid = 'OTHER'"),
              std::vector<std::string>{"OTHER|untouched|bob"});
  }
}

TEST_F(PostgresBounds, EachStatementReportsTheRowsItChanged) {
  testing::ExpectEachStatementReportsTheRowsItChanged(
      *Open(), [&] { return Rows("select cmsgid from za_message").at(0); });
}

TEST_F(PostgresBounds, ADatabasesOwnShorterStatementTimeoutIsKept) {
  ASSERT_TRUE(cluster_.Psql("alter role current_user set statement_timeout = '1s'"));
  auto connection = Open(/*command_timeout=*/300);
  const auto started = Clock::now();
  const Status slept = connection->Execute("select pg_sleep(20)");
  const auto took = Clock::now() - started;
  EXPECT_TRUE(cluster_.Psql("alter role current_user reset statement_timeout"));
  EXPECT_EQ(slept.code(), err::kTimeout) << slept.description();
  EXPECT_NE(slept.description().find("statement timeout"), std::string::npos)
      << slept.description();
  EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(PostgresBounds, AServerPausedMidStatementEndsTheWaitWithinTheBound) {
  FrozenServer server(cluster_);
  auto connection = Open(/*command_timeout=*/2);
  TableLock lock(cluster_, 4);
  // The update waits for the lock in the server; then the server stops.
  std::thread freezer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    server.Freeze();
  });
  const auto started = Clock::now();
  long rows = -1;
  const Status waited = connection->Execute(
      memo::UpdateMemo({"2024-03-01 10:00:00", "t", "c", 600, 1}, "ANY", "demo"), &rows);
  const auto took = Clock::now() - started;
  freezer.join();
  ASSERT_TRUE(server.frozen());
  server.Thaw();

  EXPECT_EQ(waited.code(), err::kTimeout) << waited.description();
  EXPECT_EQ(waited.description(), "Query timeout expired: the database server did not answer "
                                   "within 2 seconds, so the connection was dropped");
  // Cancelled at 2 s, given up a margin of 1 s later.
  EXPECT_GE(took, std::chrono::seconds(2));
  EXPECT_LT(took, std::chrono::seconds(8));
  // The dropped connection says so; a new one works once the server is back.
  EXPECT_EQ(connection->Execute("select 1").code(), err::kObjectClosed);
  auto again = Open();
  EXPECT_TRUE(again->Execute("select 1").ok());
  WaitForAbandonedUpdate(cluster_);
}

TEST_F(PostgresBounds, DriverMessagesEndWithoutALineBreakBeforeTheNumber) {
  // libpq ends its messages with a line break; a port nothing listens on.
  auto connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  const Status refused = (*connection)->Open(
      "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=vxsystem;Uid=u;Pwd=Sesame-9");
  ASSERT_FALSE(refused.ok());
  const std::string& text = refused.description();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find_last_not_of("\r\n\t "), text.size() - 1) << text;
  EXPECT_EQ(text.find("Sesame-9"), std::string::npos) << text;
  EXPECT_NE(text.find("Connection refused"), std::string::npos) << text;
}

// The window on the memory platform, on the cluster.
class PostgresWindow : public testing::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    ASSERT_TRUE(cluster_.ready());
    cluster_.DeleteAllMemos();
    context_.language = "en-us";
    context_.conn = cluster_.ConnectionString();
  }
  void TearDown() override {
    SetCommandTimeoutCeilingForTesting(0);
    WindowFixture::TearDown();
  }

  PostgresCluster cluster_;
  testing::UserContext context_;
};

TEST_F(PostgresWindow, SaveOfAMemoDeletedMeanwhileKeepsTheTypedTextAndSaysSo) {
  ASSERT_TRUE(cluster_.Psql(
      "insert into za_message (cmsgid, nmsgtype, cmsgtitle, cmsgcontent, csender, creceiver, "
      "dsend, nvalidday, bhasread, displayperiods, account, year) values ('m1', 100, 'Dentist', "
      "'at 9', 'demo', 'demo', '2024-03-01 09:30:00', 570, 0, 2, '001', 2024)"));
  ExpectSaveOfAMemoDeletedMeanwhileKeepsTheTypedText(context_, "m1", "Dentist moved 张三", [&] {
    return cluster_.Psql("delete from za_message where cmsgid = 'm1'").has_value();
  });
  EXPECT_EQ(cluster_.Psql("select count(*) from za_message"), std::vector<std::string>{"0"});
}

TEST_F(PostgresWindow, SaveWhileTheServerIsPausedMidStatementSaysTimeOutAndStaysUsable) {
  ASSERT_TRUE(cluster_.Psql(
      "insert into za_message (cmsgid, nmsgtype, cmsgtitle, cmsgcontent, csender, creceiver, "
      "dsend, nvalidday, bhasread, displayperiods, account, year) values ('m1', 100, 'Dentist', "
      "'at 9', 'demo', 'demo', '2024-03-01 09:30:00', 570, 0, 2, '001', 2024)"));
  SetCommandTimeoutCeilingForTesting(2);
  FrozenServer server(cluster_);
  std::string title_after;
  Clock::duration took{};
  bool tree_lists_memo = false;
  ASSERT_TRUE(Open(context_, [&](platform::memory::MemoryFormWindow& w, frmCalendarInfo&) {
                ASSERT_TRUE(w.Tree("tvInfo")->ClickNode("m1"));
                ASSERT_TRUE(w.Button("btnModify")->Click());
                w.Edit("txtTitle")->SetText("Dentist moved");
                TableLock lock(cluster_, 4);
                // Paused while the update waits; back after the bound, while
                // the reload that follows waits for its login.
                std::thread pauser([&] {
                  std::this_thread::sleep_for(std::chrono::milliseconds(500));
                  server.Freeze();
                  std::this_thread::sleep_for(std::chrono::milliseconds(4000));
                  server.Thaw();
                });
                const auto started = Clock::now();
                w.Button("btnSave")->Click();
                took = Clock::now() - started;
                pauser.join();
                title_after = w.Edit("txtTitle")->Text();
                // Usable: a click on the memo shows it again from the server.
                tree_lists_memo = w.Tree("tvInfo")->ClickNode("m1");
              }).ok());
  const std::vector<std::string> messages = MessageTexts();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], "Query timeout expired: the database server did not answer within 2 "
                         "seconds, so the connection was dropped(-2147217871)");
  EXPECT_EQ(title_after, "Dentist moved");
  EXPECT_TRUE(tree_lists_memo);
  EXPECT_LT(took, std::chrono::seconds(20));
  WaitForAbandonedUpdate(cluster_);
}

}  // namespace
}  // namespace agendia::db
