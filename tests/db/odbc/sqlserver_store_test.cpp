// The memo statements through FreeTDS against the TDS protocol stand-in
// (tds_stand_in.py), which stores literals as SQL Server does: every
// character kept under a Latin-1 and a Chinese collation, dates on their day
// under a day-month-year language, the host's own string logging in as its
// user, encryption asked for and required, and the server faults (deadlock,
// silence, a connection closed in the middle of a result).

#include "db/database.h"
#include "db/default_client.h"
#include "db/odbc/statement_checks.h"
#include "db/odbc/tds_stand_in.h"
#include "memo/statements.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace agendia::db {
namespace {

using testing::TdsStandIn;
using Texts = std::vector<std::string>;

const std::string kLatin1 = "SQL_Latin1_General_CP1_CI_AS";
const std::string kChinesePrc = "Chinese_PRC_CI_AS";
const std::string kChineseTaiwan = "Chinese_Taiwan_Stroke_CI_AS";

class SqlServerStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ready()); }

  StatusOr<std::shared_ptr<Connection>> Connect(const std::string& connection_string,
                                                long command_timeout = 300) {
    auto connection = client_->CreateConnection();
    if (!connection.ok()) return connection.status();
    EXPECT_TRUE((*connection)->SetCommandTimeout(command_timeout).ok());
    EXPECT_TRUE((*connection)->SetConnectionTimeout(0).ok());
    AGENDIA_RETURN_IF_ERROR((*connection)->Open(connection_string));
    return *connection;
  }
  std::shared_ptr<Connection> Open(const std::string& extra = "") {
    auto connection = Connect(server_.ConnectionString(extra));
    EXPECT_TRUE(connection.ok()) << connection.status().description();
    return connection.ok() ? *connection : nullptr;
  }

  static memo::NewMemo Memo(std::string user, std::string title, std::string content,
                            std::string send_time = "2024-03-01 09:30:00") {
    return {std::move(title), std::move(content), std::move(user), std::move(send_time),
            570, 2, "團隊", "2024"};
  }

  // `columns` of every row the select gives, joined by '|'.
  Texts Read(const std::shared_ptr<Connection>& connection, const std::string& select,
             const Texts& columns) {
    return testing::ReadRows(*client_, connection, select, columns);
  }

  // The stored rows without their generated identifiers.
  Texts StoredRows() const {
    Texts rows = server_.Rows();
    for (std::string& row : rows) row.erase(0, row.find('|') + 1);
    return rows;
  }

  TdsStandIn server_;
  std::shared_ptr<Client> client_ = MakeDefaultClient();
};

TEST_F(SqlServerStore, EveryCharacterAndABackslashBeforeALineBreakAreKeptUnderEveryCollation) {
  const std::string title = "团队 團隊 😀 한국";
  const std::string content = "C:\\tmp\\\nnext\r\nline \\\r\nend\\";
  // What the varchar column Account keeps of "團隊": the code page of the
  // collation, which shows the stand-in converts as the server does.
  const std::vector<std::pair<std::string, std::string>> collations = {
      {kLatin1, "??"}, {kChinesePrc, "團隊"}, {kChineseTaiwan, "團隊"}};
  for (const auto& [collation, account] : collations) {
    SCOPED_TRACE(collation);
    server_.Reset(collation);
    auto connection = Open();
    ASSERT_NE(connection, nullptr);
    // Two users whose names differ only outside the Latin-1 code page.
    for (const char* user : {"张三", "張三"}) {
      const Status inserted = connection->Execute(*memo::InsertMemo(Memo(user, title, content)));
      ASSERT_TRUE(inserted.ok()) << inserted.description();
    }
    const std::string rest = "|" + TdsStandIn::Escaped(content) + "|张三|张三|2024-03-01 09:30:00|570|0|2|" + account + "|2024|100";
    const std::string rest_tw = "|" + TdsStandIn::Escaped(content) + "|張三|張三|2024-03-01 09:30:00|570|0|2|" + account + "|2024|100";
    EXPECT_EQ(StoredRows(), (Texts{title + rest, title + rest_tw}));

    const Texts listed = Read(connection, memo::SelectByReceiver("张三"),
                              {"cMsgId", "cMsgTitle", "cMsgContent", "cReceiver"});
    ASSERT_EQ(listed.size(), 1u);
    const std::string id = listed[0].substr(0, listed[0].find('|'));
    EXPECT_EQ(listed[0], id + "|" + title + "|" + content + "|张三");

    // Modify and delete reach the one memo of the one user.
    long changed = -1;
    const Status updated = connection->Execute(
        memo::UpdateMemo({"2024-03-01 10:00:00", title + " ✓", content + "\\\n", 600, 3}, id, "张三"),
        &changed);
    ASSERT_TRUE(updated.ok()) << updated.description();
    EXPECT_EQ(Read(connection, memo::SelectById(id, "张三"), {"cMsgTitle", "cMsgContent"}),
              Texts{title + " ✓|" + content + "\\\n"});
    ASSERT_TRUE(connection->Execute(memo::DeleteMemo(id, "张三")).ok());
    EXPECT_EQ(StoredRows(), Texts{title + rest_tw});
  }
  // The key stays a plain literal; the texts go as N'...'.
  const Texts batches = server_.Batches();
  ASSERT_FALSE(batches.empty());
  bool update_seen = false;
  for (const std::string& batch : batches) {
    if (!batch.starts_with("update")) continue;
    update_seen = true;
    EXPECT_NE(batch.find("cMsgTitle=N'团队 團隊 😀 한국 ✓'"), std::string::npos) << batch;
    EXPECT_NE(batch.find("where cMsgID='"), std::string::npos) << batch;
    EXPECT_NE(batch.find("cReceiver=N'张三'"), std::string::npos) << batch;
  }
  EXPECT_TRUE(update_seen);
}

TEST_F(SqlServerStore, AMemoSavedOnTheFirstAndTheThirteenthUnderADayMonthYearLanguageLandsOnItsDay) {
  auto connection = Open(";Current Language=British");
  ASSERT_NE(connection, nullptr);
  for (const char* day : {"2024-03-01 09:30:00", "2024-03-13 09:30:00"}) {
    const Status inserted = connection->Execute(*memo::InsertMemo(Memo("demo", day, "x", day)));
    EXPECT_TRUE(inserted.ok()) << inserted.description();
  }
  const Texts logins = server_.Logins();
  ASSERT_EQ(logins.size(), 1u);
  EXPECT_TRUE(logins[0].starts_with("agendia|VXSystem|British|")) << logins[0];
  const std::string rest = "|x|demo|demo|";
  const std::string tail = "|570|0|2|??|2024|100";  // the varchar account, Latin-1
  EXPECT_EQ(StoredRows(), (Texts{"2024-03-01 09:30:00" + rest + "2024-03-01 09:30:00" + tail,
                                 "2024-03-13 09:30:00" + rest + "2024-03-13 09:30:00" + tail}));
}

// A datetime comes over as the driver's date structure, to the second, with
// the text beside as the window writes dates (not SQL Server's ".000").
TEST_F(SqlServerStore, ADatetimeComesAsADateTimeToTheSecond) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "t", "x", "2024-02-29 23:59:58"))).ok());
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  ASSERT_TRUE((*recordset)->Open(memo::SelectByReceiver("demo")).ok());
  auto send = (*recordset)->Value("dSend");
  ASSERT_TRUE(send.ok()) << send.status().description();
  EXPECT_EQ(send->type, FieldValue::Type::kDateTime);
  EXPECT_EQ(send->date_time, (base::DateTime{{2024, 2, 29}, 23, 59, 58}));
  EXPECT_EQ(send->text, "2024-02-29 23:59:58");
}

TEST_F(SqlServerStore, TheHostsOwnStringsLogInWithTheirUserLanguageApplicationAndWorkstation) {
  const std::string port = std::to_string(server_.port());
  struct Login {
    std::string host_string;
    std::string recorded;  // user|database|language|application|host|encryption|TLS
  };
  const std::vector<Login> cases = {
      {"Provider=SQLNCLI11;Server=tcp:127.0.0.1," + port + ";Database=VXSystem;Uid=u;Pwd=p",
       "u|VXSystem|us_english|Agendia|"},
      {"Provider=SQLOLEDB.1;Data Source=NOWHERE;Network Address=127.0.0.1," + port +
           ";Initial Catalog=VXSystem;User ID=sa;Password=x;Current Language=Deutsch;"
           "Application Name=Portal 7;Workstation ID=PC-7",
       "sa|VXSystem|Deutsch|Portal 7|PC-7|0|0"},
  };
  for (const Login& c : cases) {
    SCOPED_TRACE(c.host_string);
    server_.Reset(kLatin1);
    auto connection = Connect(c.host_string);
    ASSERT_TRUE(connection.ok()) << connection.status().description();
    const Texts logins = server_.Logins();
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_TRUE(logins[0].starts_with(c.recorded)) << logins[0];
  }
}

TEST_F(SqlServerStore, EncryptYesMakesFreeTdsRequireEncryptionAndTheLoginNeverTravelsInClear) {
  // The stand-in cannot encrypt: a client that requires it gives up.
  auto refused = Connect(server_.ConnectionString(";Encrypt=yes"));
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.status().code(), err::kUnspecified);
  EXPECT_EQ(refused.status().description().find(TdsStandIn::kPassword), std::string::npos);
  EXPECT_EQ(server_.Logins(), Texts{"1|0"});  // PRELOGIN asked for encryption; no LOGIN7

  // A server that requires it: the client starts TLS before any login.
  server_.Reset(kLatin1);
  server_.Fault("require-encryption");
  auto required = Connect(server_.ConnectionString());
  ASSERT_FALSE(required.ok());
  EXPECT_EQ(server_.Logins(), Texts{"0|1"});
}

TEST_F(SqlServerStore, ARefusedLoginReadsWhateverThePasswordAndNeverShowsIt) {
  server_.Fault("refuse-login");
  struct Refusal {
    std::string password;
    std::string shown;  // in the description
  };
  // A one-letter password inside words, a password equal to the user name,
  // and one with a doubled quote.
  const std::vector<Refusal> cases = {
      {"a", "Login failed for user 'agendia'."},
      {"agendia", "Login failed for user '"},
      {"it''s;x9", "Login failed for user 'agendia'."},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.password);
    auto refused = Connect("Provider=SQLOLEDB.1;Data Source=127.0.0.1," +
                           std::to_string(server_.port()) +
                           ";Initial Catalog=VXSystem;User ID=agendia;Password='" + c.password + "'");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.status().code(), err::kUnspecified);
    const std::string& text = refused.status().description();
    EXPECT_NE(text.find(c.shown), std::string::npos) << text;
    EXPECT_EQ(text.find("x9"), std::string::npos) << text;
  }
  EXPECT_EQ(server_.Logins().size(), cases.size());
}

TEST_F(SqlServerStore, ADeadlockIsARetryableConflictWithTheServersNumberInItsText) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  server_.Fault("deadlock");
  const Status victim = connection->Execute(*memo::InsertMemo(Memo("demo", "Lost", "x")));
  EXPECT_EQ(victim.code(), err::kTimeout) << victim.description();
  EXPECT_NE(victim.description().find("deadlocked"), std::string::npos) << victim.description();
  EXPECT_NE(victim.description().find("(native error 1205)"), std::string::npos)
      << victim.description();
  EXPECT_EQ(server_.Rows(), Texts{});
  // Running it again succeeds.
  EXPECT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "Kept", "x"))).ok());
  EXPECT_EQ(server_.Rows().size(), 1u);
}

TEST_F(SqlServerStore, AServerSilentAfterTheLoginIsGivenUpWithinTheCommandTimeoutCancelIncluded) {
  server_.Fault("silent");
  constexpr long kCommandTimeout = 4;
  auto connection = Connect(server_.ConnectionString(), kCommandTimeout);
  ASSERT_TRUE(connection.ok()) << connection.status().description();
  const auto started = std::chrono::steady_clock::now();
  const Status hung = (*connection)->Execute(*memo::InsertMemo(Memo("demo", "Lost", "x")));
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(hung.code(), err::kTimeout) << hung.description();
  // FreeTDS waits for its cancel's answer as long as for the statement: the
  // whole wait is the command time-out, not twice it. The margin is for a
  // busy machine.
  EXPECT_LT(waited, std::chrono::milliseconds(kCommandTimeout * 1000 + 2500));
  EXPECT_GE(waited, std::chrono::milliseconds(kCommandTimeout * 1000 / 2));
}

TEST_F(SqlServerStore, AConnectionClosedInTheMiddleOfAResultFailsTheReadAndTheNextActionWorks) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  for (const char* title : {"one", "two"}) {
    ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", title, "x"))).ok());
  }
  server_.Fault("close-mid-result");
  auto recordset = client_->CreateRecordset();
  ASSERT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  Status failure = (*recordset)->Open(memo::SelectByReceiver("demo"));
  int rows_read = 0;
  while (failure.ok()) {
    auto end = (*recordset)->EndOfFile();
    if (!end.ok()) {
      failure = end.status();
      break;
    }
    if (*end) break;
    ++rows_read;
    failure = (*recordset)->MoveNext();
  }
  EXPECT_FALSE(failure.ok()) << "the cut result read as complete after " << rows_read << " rows";
  EXPECT_EQ(failure.code(), err::kUnspecified) << failure.description();
  EXPECT_LE(rows_read, 1);

  auto next = Open();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(Read(next, memo::SelectByReceiver("demo"), {"cMsgTitle"}), (Texts{"one", "two"}));
}

TEST_F(SqlServerStore, AStatementTheServerCannotRunIsAnErrorInCommandWithItsMessage) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  struct Rejected {
    std::string statement;
    std::string message;
  };
  const std::vector<Rejected> cases = {
      {"select * from VXSystem..NoSuchTable", "Invalid object name 'VXSystem.NoSuchTable'."},
      {"select * from VXSystem..ZA_Message where NoSuchColumn=1", "Invalid column name 'NoSuchColumn'."},
      {"select * from VXSystem..ZA_Message where", "Incorrect syntax near 'where'."},
  };
  for (const Rejected& c : cases) {
    SCOPED_TRACE(c.statement);
    const Status rejected = connection->Execute(c.statement);
    EXPECT_EQ(rejected.code(), err::kErrorsInCommand) << rejected.description();
    EXPECT_NE(rejected.description().find(c.message), std::string::npos) << rejected.description();
  }
  // The connection goes on.
  EXPECT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "After", "x"))).ok());
}

TEST_F(SqlServerStore, AnUpdateOrDeleteTellsHowManyRowsItChanged) {
  auto connection = Open();
  ASSERT_NE(connection, nullptr);
  long inserted = -1, updated = -1, gone = -1, deleted = -1;
  ASSERT_TRUE(connection->Execute(*memo::InsertMemo(Memo("demo", "t", "c")), &inserted).ok());
  const std::string id = server_.Rows().at(0).substr(0, 36);
  const memo::MemoChange change{"2024-03-01 10:00:00", "t2", "c2", 600, 1};
  ASSERT_TRUE(connection->Execute(memo::UpdateMemo(change, id, "demo"), &updated).ok());
  server_.Control("delete-all");
  ASSERT_TRUE(connection->Execute(memo::UpdateMemo(change, id, "demo"), &gone).ok());
  ASSERT_TRUE(connection->Execute(memo::DeleteMemo(id, "demo"), &deleted).ok());
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(updated, 1);
  EXPECT_EQ(gone, 0);
  EXPECT_EQ(deleted, 0);
}

}  // namespace
}  // namespace agendia::db
