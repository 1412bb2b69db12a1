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
