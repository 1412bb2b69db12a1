#include "db/default_client.h"
#include "memo/memo_store.h"
#include "support/faulty_database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace agendia::testing {
namespace {

class MemoStoreTest : public ::testing::Test {
 protected:
  memo::MemoStore Store(memo::MemoStore::TimeLimits limits = {}) {
    return memo::MemoStore(MakeFaultyClient(db::MakeDefaultClient(), log_),
                           database_.ConnectionString(), limits);
  }
  // Nothing of the action is left behind: no connection, no recordset.
  void ExpectEverythingReleased() {
    EXPECT_EQ(log_->live_connections, 0);
    EXPECT_EQ(log_->live_recordsets, 0);
  }

  MemoDatabase database_;
  std::shared_ptr<DatabaseLog> log_ = std::make_shared<DatabaseLog>();
};

TEST_F(MemoStoreTest, SelectHandsTheRowsOverAndReleasesBothObjects) {
  database_.Insert(Memo("A1", 1));
  std::vector<std::string> ids;
  const Status read = Store().Select("select cMsgId from ZA_Message", [&](db::Recordset& rows) {
    ids.push_back(rows.Value("cMsgId")->text);
    return Status::Ok();
  });
  EXPECT_TRUE(read.ok()) << read.description();
  EXPECT_EQ(ids, std::vector<std::string>{"A1"});
  ExpectEverythingReleased();
}

TEST_F(MemoStoreTest, OpensWithTheTimeLimitsItWasGiven) {
  EXPECT_TRUE(Store({120, 7}).Execute("delete from ZA_Message").ok());
  EXPECT_EQ(log_->CountOf("Connection.SetCommandTimeout(120)"), 1);
  EXPECT_EQ(log_->CountOf("Connection.SetConnectionTimeout(7)"), 1);
  EXPECT_TRUE(Store().Execute("delete from ZA_Message").ok());
  EXPECT_EQ(log_->CountOf("Connection.SetCommandTimeout(300)"), 1);
  EXPECT_EQ(log_->CountOf("Connection.SetConnectionTimeout(0)"), 1);
}

TEST_F(MemoStoreTest, AFailingStepIsReportedAfterEverythingIsReleased) {
  log_->faults.push_back({"Recordset.Open(", 1, Status::Error(db::err::kErrorsInCommand, "bad")});
  const Status opened =
      Store().Select("select * from ZA_Message", [](db::Recordset&) { return Status::Ok(); });
  EXPECT_EQ(opened.code(), db::err::kErrorsInCommand);
  ExpectEverythingReleased();

  log_->faults.push_back({"Connection.Execute(", 1, Status::Error(db::err::kTimeout, "late")});
  const Status executed = Store().Execute("delete from ZA_Message");
  EXPECT_EQ(executed.code(), db::err::kTimeout);
  EXPECT_EQ(executed.description(), "late");
  ExpectEverythingReleased();
}

TEST_F(MemoStoreTest, AnExceptionWhileReadingBecomesAFailureOfTheAction) {
  const Status read = Store().Select("select * from ZA_Message", [](db::Recordset&) -> Status {
    throw std::runtime_error("the tree is gone");
  });
  EXPECT_EQ(read.code(), hr::kFail);
  EXPECT_EQ(read.description(), "The database client failed: the tree is gone");
  ExpectEverythingReleased();
}

TEST(MemoStoreWithoutClientTest, EveryActionFailsAsWithoutAnInstalledClient) {
  const memo::MemoStore store(nullptr, "Provider=SQLite;Data Source=/nowhere.db");
  for (const Status& failed :
       {store.Execute("delete from ZA_Message"),
        store.Select("select * from ZA_Message", [](db::Recordset&) { return Status::Ok(); })}) {
    EXPECT_EQ(failed.code(), db::err::kCannotCreateObject);
    EXPECT_EQ(failed.description(),
              "ActiveX component can't create object: no database client is installed");
  }
}

}  // namespace
}  // namespace agendia::testing
