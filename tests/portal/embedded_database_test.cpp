// The demo portal owns its database: it creates the SQLite file with the memo
// table when the file is missing, and never touches one that exists.

#include "embedded_database.h"
#include "support/memo_database.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fstream>

namespace agendia::testing {
namespace {

TEST(EmbeddedDatabasePathTest, NamesTheFileOfSqliteConnectionsOnly) {
  struct Case {
    const char* connection;
    std::optional<QString> path;
  };
  const Case cases[] = {
      {"Provider=SQLite;Data Source=/data/VXSystem.db", QStringLiteral("/data/VXSystem.db")},
      {" provider = sqlite ; data source = \"/my data/V.db\" ", QStringLiteral("/my data/V.db")},
      {"/data/VXSystem.db", QStringLiteral("/data/VXSystem.db")},
      {"Provider=SQLOLEDB;Data Source=server;Initial Catalog=VXSystem", std::nullopt},
      {"Data Source=/data/VXSystem.db", std::nullopt},
      {"Provider=SQLite;Data Source=:memory:", std::nullopt},
      {"Provider=SQLite", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.connection);
    EXPECT_EQ(EmbeddedDatabasePath(QString::fromUtf8(c.connection)), c.path);
  }
}

TEST(EnsureEmbeddedDatabaseTest, CreatesAMissingFileAndItsFolderWithTheMemoTable) {
  TempDir folder;
  const std::string path = (folder.path() / "agendia" / "VXSystem.db").string();
  EXPECT_EQ(EnsureEmbeddedDatabase(QString::fromStdString("Provider=SQLite;Data Source=" + path)),
            QString());
  auto tables = RunSqliteShell(path, "select name from sqlite_master where type='table';");
  if (!tables) GTEST_SKIP() << "no sqlite3 shell";
  EXPECT_EQ(*tables, "ZA_Message\n");
}

TEST(EnsureEmbeddedDatabaseTest, LeavesAnExistingFileAsItIs) {
  TempDir folder;
  const std::string path = (folder.path() / "VXSystem.db").string();
  { std::ofstream(path) << "the host's own file"; }
  EXPECT_EQ(EnsureEmbeddedDatabase(QString::fromStdString(path)), QString());
  std::ifstream file(path);
  std::string content;
  std::getline(file, content);
  EXPECT_EQ(content, "the host's own file");
}

TEST(EnsureEmbeddedDatabaseTest, SaysWhyWhenTheFileCannotBeMadeAndLeavesNothingBehind) {
  TempDir folder;
  const std::string blocker = (folder.path() / "not-a-folder").string();
  { std::ofstream(blocker) << "a file where a folder should be"; }
  const QString failure =
      EnsureEmbeddedDatabase(QString::fromStdString(blocker + "/VXSystem.db"));
  EXPECT_TRUE(failure.contains(QStringLiteral("not-a-folder"))) << failure.toStdString();
  EXPECT_FALSE(std::filesystem::exists(blocker + "/VXSystem.db"));
}

TEST(EnsureEmbeddedDatabaseTest, WithoutLeaveToCreateAMissingFileIsAnErrorAndNothingIsMade) {
  TempDir folder;
  const std::string path = (folder.path() / "mistyped" / "VXSystem.db").string();
  const QString failure = EnsureEmbeddedDatabase(QString::fromStdString(path), false);
  EXPECT_EQ(failure, QString::fromStdString(path) +
                         " does not exist; name an existing database, or add --create to make a "
                         "new one there");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "mistyped"));
}

TEST(EnsureEmbeddedDatabaseTest, DoesNothingForOtherDatabases) {
  EXPECT_EQ(EnsureEmbeddedDatabase(QStringLiteral("Provider=SQLOLEDB;Data Source=server")), QString());
}

}  // namespace
}  // namespace agendia::testing
