#include "db/database.h"
#include "support/exclusive_lock.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace agendia::db {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Counts far past any time limit of a test.
const char* const kEndlessCount =
    "with recursive counter(n) as (select 1 union all select n + 1 from counter "
    "where n < 1000000000000) select count(*) as n from counter";

class DbTimeLimits : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    AddRow("'A1', 100, 'Dentist', NULL, 'demo', 'demo', '2024-02-01 08:00:00', 480, 0, 1, '001', 2024");
  }

  std::string WithBusyTimeout(int wait) const {
    return connection_string() + ";Busy Timeout=" + std::to_string(wait);
  }

  static milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
  }
};

TEST_F(DbTimeLimits, OpeningALockedDatabaseFailsAfterTheBusyTimeout) {
  testing::ExclusiveLock lock(file());
  ASSERT_TRUE(lock.held()) << lock.error();
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  ASSERT_TRUE((*connection)->SetConnectionTimeout(30).ok());

  const auto start = Clock::now();
  const Status opened = (*connection)->Open(WithBusyTimeout(100));

  EXPECT_EQ(opened.code(), err::kTimeout);
  EXPECT_EQ(opened.description(), "database is locked: " + file().string());
  EXPECT_EQ((*connection)->State(), kStateClosed);
  EXPECT_GE(Since(start), milliseconds(90));
  EXPECT_LT(Since(start), milliseconds(2000));
}

TEST_F(DbTimeLimits, StatementsOnALockedDatabaseFailAfterTheBusyTimeoutAndWorkOnceItIsFree) {
  std::shared_ptr<Connection> connection = Connect(WithBusyTimeout(100));
  ASSERT_NE(connection, nullptr);
  {
    testing::ExclusiveLock lock(file());
    ASSERT_TRUE(lock.held()) << lock.error();

    const auto start = Clock::now();
    const Status inserted = connection->Execute(
        "insert into VXSystem..za_message (cMsgId, nMsgType) VALUES(NewID(), 100)");
    EXPECT_EQ(inserted.code(), err::kTimeout);
    EXPECT_EQ(inserted.description(), "database is locked: " + file().string());

    StatusOr<std::unique_ptr<Recordset>> rows = client_->CreateRecordset();
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE((*rows)->SetActiveConnection(connection).ok());
    const Status opened = (*rows)->Open("select * from VXSystem..ZA_Message");
    EXPECT_EQ(opened.code(), err::kTimeout);
    EXPECT_EQ(opened.description(), "database is locked: " + file().string());
    EXPECT_EQ((*rows)->State(), kStateClosed);
    EXPECT_LT(Since(start), milliseconds(2000));
  }
  EXPECT_TRUE(connection->Execute("delete from VXSystem..za_message where cMsgID='A1'").ok());
  EXPECT_EQ(ReadColumn(connection, "select count(*) as n from ZA_Message", "n"),
            std::vector<std::string>{"0"});
}

TEST_F(DbTimeLimits, WithoutABusyTimeoutTheConnectionTimeoutBoundsTheLockWait) {
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  ASSERT_TRUE((*connection)->SetConnectionTimeout(1).ok());
  ASSERT_TRUE((*connection)->Open(connection_string()).ok());
  testing::ExclusiveLock lock(file());
  ASSERT_TRUE(lock.held()) << lock.error();

  const auto start = Clock::now();
  const Status deleted = (*connection)->Execute("delete from VXSystem..za_message");

  EXPECT_EQ(deleted.code(), err::kTimeout);
  EXPECT_EQ(deleted.description(), "database is locked: " + file().string());
  EXPECT_GE(Since(start), milliseconds(900));
  EXPECT_LT(Since(start), milliseconds(3000));
}

TEST_F(DbTimeLimits, ARecordsetRunningPastTheCommandTimeoutFails) {
  std::shared_ptr<Connection> connection = Connect();
  ASSERT_NE(connection, nullptr);
  ASSERT_TRUE(connection->SetCommandTimeout(1).ok());
  StatusOr<std::unique_ptr<Recordset>> rows = client_->CreateRecordset();
  ASSERT_TRUE(rows.ok());
  ASSERT_TRUE((*rows)->SetActiveConnection(connection).ok());

  const auto start = Clock::now();
  const Status opened = (*rows)->Open(kEndlessCount);

  EXPECT_EQ(opened.code(), err::kTimeout);
  EXPECT_EQ(opened.description(), "Query timeout expired");
  EXPECT_EQ((*rows)->State(), kStateClosed);
  EXPECT_GE(Since(start), milliseconds(950));
  EXPECT_LT(Since(start), milliseconds(3000));
  // The connection goes on, and quick statements are not affected.
  EXPECT_EQ(ReadColumn(connection, "select count(*) as n from ZA_Message", "n"),
            std::vector<std::string>{"1"});
}

TEST_F(DbTimeLimits, AStatementRunningPastTheCommandTimeoutFails) {
  std::shared_ptr<Connection> connection = Connect();
  ASSERT_NE(connection, nullptr);
  ASSERT_TRUE(connection->SetCommandTimeout(1).ok());

  const auto start = Clock::now();
  const Status executed = connection->Execute(
      std::string("delete from VXSystem..ZA_Message where nMsgType in (") + kEndlessCount + ")");

  EXPECT_EQ(executed.code(), err::kTimeout);
  EXPECT_EQ(executed.description(), "Query timeout expired");
  EXPECT_GE(Since(start), milliseconds(950));
  EXPECT_LT(Since(start), milliseconds(3000));
  EXPECT_EQ(connection->State(), kStateOpen);
  EXPECT_EQ(ReadColumn(connection, "select count(*) as n from ZA_Message", "n"),
            std::vector<std::string>{"1"});
}

}  // namespace
}  // namespace agendia::db
