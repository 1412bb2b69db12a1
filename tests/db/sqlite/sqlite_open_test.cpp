#include "db/database.h"
#include "support/memo_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace agendia::db {
namespace {

using DbSqliteOpen = testing::MemoDatabaseTest;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST_F(DbSqliteOpen, AFileInAMissingFolderFailsNamingThePathAndStaysClosed) {
  const std::filesystem::path missing = file().parent_path() / "missing" / "VXSystem.db";
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());

  const Status opened = (*connection)->Open("Provider=SQLite;Data Source=" + missing.string());

  EXPECT_EQ(opened.code(), err::kUnspecified);
  EXPECT_EQ(opened.description(), "unable to open database file: " + missing.string());
  EXPECT_EQ((*connection)->State(), kStateClosed);
  EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
}

TEST_F(DbSqliteOpen, AMissingFileFailsAndIsNotCreated) {
  const std::filesystem::path missing = file().parent_path() / "Other.db";
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());

  const Status opened = (*connection)->Open(missing.string());

  EXPECT_EQ(opened.code(), err::kUnspecified);
  EXPECT_EQ(opened.description(), "unable to open database file: " + missing.string());
  EXPECT_EQ((*connection)->State(), kStateClosed);
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DbSqliteOpen, AFileThatIsNotADatabaseFailsAtOpenAndIsLeftAlone) {
  const std::filesystem::path text_file = file().parent_path() / "notes.db";
  const std::string text = "These are my notes, not a database. Nothing in here is SQLite.\n";
  std::ofstream(text_file, std::ios::binary) << text;
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());

  const Status opened = (*connection)->Open("Provider=SQLite;Data Source=" + text_file.string());

  EXPECT_EQ(opened.code(), err::kUnspecified);
  EXPECT_EQ(opened.description(), "file is not a database: " + text_file.string());
  EXPECT_EQ((*connection)->State(), kStateClosed);
  EXPECT_EQ(ReadFile(text_file), text);
}

TEST_F(DbSqliteOpen, AConnectionThatFailedToOpenCanOpenAgain) {
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  EXPECT_EQ((*connection)->State(), kStateClosed);

  EXPECT_FALSE((*connection)->Open((file().parent_path() / "missing.db").string()).ok());
  EXPECT_TRUE((*connection)->Open(connection_string()).ok());
  EXPECT_EQ((*connection)->State(), kStateOpen);
  EXPECT_TRUE((*connection)->Close().ok());
  EXPECT_EQ((*connection)->State(), kStateClosed);
  EXPECT_TRUE((*connection)->Open(connection_string()).ok());
  EXPECT_EQ((*connection)->State(), kStateOpen);
}

}  // namespace
}  // namespace agendia::db

namespace agendia::db {
namespace {

// SQLite reads "file:" names as URIs whose options turn its locking off
// (nolock=1, immutable=1) or change how it opens; the data source is a path.
TEST_F(DbSqliteOpen, AUriAsDataSourceIsRefusedWhateverItsOptions) {
  const std::string path = file().string();
  for (const std::string& text :
       {"Provider=SQLite;Data Source=file:" + path + "?nolock=1", "Provider=SQLite;Data Source=file:" + path,
        "Provider=SQLite;Data Source=FILE://" + path + "?immutable=1", "file:" + path}) {
    SCOPED_TRACE(text);
    StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
    ASSERT_TRUE(connection.ok());
    const Status opened = (*connection)->Open(text);
    EXPECT_EQ(opened.code(), err::kUnspecified);
    EXPECT_EQ(opened.description(),
              "The Data Source must be a file path: SQLite URIs (file:...) are not accepted");
    EXPECT_EQ((*connection)->State(), kStateClosed);
  }
}

// No backend reads a NUL inside a statement the same way, so none is sent.
TEST_F(DbSqliteOpen, AStatementHoldingANulCharacterIsRefusedBeforeItRuns) {
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  ASSERT_TRUE((*connection)->Open(connection_string()).ok());
  const std::string insert("insert into ZA_Message (cMsgId, nMsgType) values ('a\0b', 100)", 61);
  long affected = -5;
  const Status executed = (*connection)->Execute(insert, &affected);
  EXPECT_EQ(executed.code(), err::kErrorsInCommand);
  EXPECT_EQ(executed.description(),
            "A text holds a NUL character (code 0), which cannot be stored; remove it");
  EXPECT_EQ(affected, 0);
  StatusOr<std::unique_ptr<Recordset>> rows = client_->CreateRecordset();
  ASSERT_TRUE(rows.ok());
  ASSERT_TRUE((*rows)->SetActiveConnection(*connection).ok());
  EXPECT_EQ((*rows)->Open(std::string("select * from ZA_Message where cMsgId='a\0b'", 43)).code(),
            err::kErrorsInCommand);
  ASSERT_TRUE((*connection)->Execute("insert into ZA_Message (cMsgId, nMsgType) values ('ab', 100)", &affected).ok());
  EXPECT_EQ(affected, 1) << "the rows a statement changed are counted";
  ASSERT_TRUE((*connection)->Execute("update ZA_Message set nMsgType=100 where cMsgId='none'", &affected).ok());
  EXPECT_EQ(affected, 0);
}

// The page cache is sized for what one action of the window reads or
// writes, not SQLite's default of 2 MiB.
TEST_F(DbSqliteOpen, AConnectionKeepsAQuarterOfAMebibyteOfPages) {
  StatusOr<std::shared_ptr<Connection>> connection = client_->CreateConnection();
  ASSERT_TRUE(connection.ok());
  ASSERT_TRUE((*connection)->Open(connection_string()).ok());
  StatusOr<std::unique_ptr<Recordset>> rows = client_->CreateRecordset();
  ASSERT_TRUE(rows.ok());
  ASSERT_TRUE((*rows)->SetActiveConnection(*connection).ok());
  ASSERT_TRUE((*rows)->Open("PRAGMA cache_size").ok());
  FieldValue size;
  ASSERT_TRUE((*rows)->ReadValue("cache_size", size).ok());
  EXPECT_EQ(size.type, FieldValue::Type::kInteger);
  EXPECT_EQ(size.integer, -256);
}

}  // namespace
}  // namespace agendia::db
