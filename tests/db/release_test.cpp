#include "db/database.h"
#include "support/exclusive_lock.h"
#include "support/memo_database.h"
#include "support/sqlite_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace agendia::db {
namespace {

class DbRelease : public testing::MemoDatabaseTest {
 protected:
  void SetUp() override {
    testing::MemoDatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    AddTwoMemos();
  }

  // The open file descriptors of this process on the database file or its
  // journal. -1 where the process cannot list them.
  int OpenHandlesOnFile() const {
    const std::filesystem::path descriptors = "/proc/self/fd";
    std::error_code error;
    if (!std::filesystem::exists(descriptors, error)) return -1;
    const std::string name = std::filesystem::canonical(file()).string();
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(descriptors, error)) {
      const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
      if (!error && target.rfind(name, 0) == 0) ++count;
    }
    return count;
  }

  // The file can go and come back, and another connection can lock it at
  // once: nothing of the component still holds it.
  void ExpectTheFileIsFree() {
    if (const int handles = OpenHandlesOnFile(); handles >= 0) {
      EXPECT_EQ(handles, 0);
    }
    {
      testing::ExclusiveLock lock(file());
      EXPECT_TRUE(lock.held()) << lock.error();
    }
    ASSERT_TRUE(std::filesystem::remove(file()));
    const Status created = testing::CreateMemoDatabase(file());
    ASSERT_TRUE(created.ok()) << created.description();
    testing::ExclusiveLock lock(file());
    EXPECT_TRUE(lock.held()) << lock.error();
  }
};

TEST_F(DbRelease, CloseReleasesTheFile) {
  std::shared_ptr<Connection> connection = Connect();
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(ReadColumn(connection, "select cMsgId from ZA_Message", "cMsgId").size(), 2u);
  if (const int handles = OpenHandlesOnFile(); handles >= 0) {
    EXPECT_GE(handles, 1);
  }

  ASSERT_TRUE(connection->Close().ok());

  ExpectTheFileIsFree();
}

TEST_F(DbRelease, ClosingTheConnectionReleasesTheFileUnderAnOpenRecordset) {
  std::shared_ptr<Connection> connection = Connect();
  std::unique_ptr<Recordset> rows = Query(connection, "select * from ZA_Message");
  ASSERT_NE(rows, nullptr);
  ASSERT_FALSE(AtEnd(*rows));  // mid-read: the statement holds a read lock

  ASSERT_TRUE(connection->Close().ok());

  ExpectTheFileIsFree();
  EXPECT_EQ(rows->State(), kStateClosed);
}

TEST_F(DbRelease, DroppingTheObjectsUnclosedReleasesTheFile) {
  {
    std::shared_ptr<Connection> connection = Connect();
    std::unique_ptr<Recordset> rows = Query(connection, "select * from ZA_Message");
    ASSERT_NE(rows, nullptr);
    ASSERT_FALSE(AtEnd(*rows));
  }
  ExpectTheFileIsFree();
}

TEST_F(DbRelease, ARecordsetReadToItsEndNoLongerKeepsWritersOut) {
  std::shared_ptr<Connection> connection = Connect();
  std::unique_ptr<Recordset> rows = Query(connection, "select * from ZA_Message");
  ASSERT_NE(rows, nullptr);
  {
    testing::ExclusiveLock writer(file());
    EXPECT_FALSE(writer.held());  // a reader is mid-way
  }
  while (!AtEnd(*rows)) ASSERT_TRUE(rows->MoveNext().ok());

  testing::ExclusiveLock writer(file());
  EXPECT_TRUE(writer.held()) << writer.error();
  EXPECT_EQ(rows->State(), kStateOpen);
}

}  // namespace
}  // namespace agendia::db
