#pragma once

// A real memo database file in a fresh temporary folder, built from the
// shipped schema, with the means to put rows in and read them back through
// the sqlite3 C library, independently of the calendar's own database layer.

#include "db/database.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::testing {

// One row of ZA_Message as a test writes it. An empty optional is NULL.
struct MemoRow {
  std::string id;
  int type = 100;
  std::optional<std::string> title = "title";
  std::optional<std::string> content = "content";
  std::string sender = "demo";
  std::string receiver = "demo";
  std::optional<std::string> send = "2024-03-01 09:30:00";
  std::optional<int64_t> kind = 0;
  std::string account = "001";
  int64_t year = 2024;
};

// A memo of the user "demo" with `id` and `kind` (nothing: NULL), dated
// 2024-03-01 09:30:00, every other column as MemoRow has it.
inline MemoRow Memo(std::string id, std::optional<int64_t> kind) {
  MemoRow row;
  row.id = std::move(id);
  row.kind = kind;
  return row;
}

// A row read back: column name to text, nothing for NULL.
using StoredRow = std::map<std::string, std::optional<std::string>>;

class MemoDatabase {
 public:
  // Creates <temp>/agendia-db-<random>/VXSystem.db with the memo table.
  MemoDatabase();
  MemoDatabase(const MemoDatabase&) = delete;
  MemoDatabase& operator=(const MemoDatabase&) = delete;

  const std::filesystem::path& folder() const { return folder_.path(); }
  std::string path() const { return (folder_.path() / "VXSystem.db").string(); }
  std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + path(); }

  void Insert(const MemoRow& row);
  // Runs statements; fails the test on an error.
  void Run(const std::string& sql);
  // All rows of `sql`, each column by name.
  std::vector<StoredRow> Query(const std::string& sql);
  // The rows of ZA_Message, ordered by id.
  std::vector<StoredRow> Memos() { return Query("select * from ZA_Message order by cMsgId"); }

 private:
  TempDir folder_{"agendia-db"};
};

// A test with a memo database of its own (a MemoDatabase) and the default
// client to reach it through the calendar's database layer.
class MemoDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;

  std::filesystem::path file() const { return database_.path(); }
  std::string connection_string() const { return database_.ConnectionString(); }

  // A connection opened on `connection_string`; null (and a failure of the
  // test) when it does not open.
  std::shared_ptr<db::Connection> Connect(const std::string& connection_string);
  std::shared_ptr<db::Connection> Connect() { return Connect(connection_string()); }

  // A recordset open on `select`; null (and a failure of the test) when it
  // does not open.
  std::unique_ptr<db::Recordset> Query(const std::shared_ptr<db::Connection>& connection,
                                       const std::string& select);

  // The text of `column` of every row `select` gives, in order. Null shows
  // as "<null>".
  std::vector<std::string> ReadColumn(const std::shared_ptr<db::Connection>& connection,
                                      const std::string& select, const std::string& column);

  // The value of `column` in the current row; a failure of the test and a
  // null value when it cannot be read.
  static db::FieldValue ValueOf(const db::Recordset& rows, std::string_view column);

  // Whether `rows` is at its end; a failure of the test and true when that
  // cannot be told.
  static bool AtEnd(const db::Recordset& rows);

  // Adds one memo row through the SQLite library directly.
  void AddRow(const std::string& values_of_every_column);
  // Two memos of "demo": A1 (daily, Dentist) and B2 (monthly, Gym).
  void AddTwoMemos();

  std::shared_ptr<db::Client> client_;

 private:
  MemoDatabase database_;
};

// Runs the sqlite3 command-line shell on `database` with `sql` on its
// standard input; returns its standard output, or nothing when the shell is
// missing or fails.
std::optional<std::string> RunSqliteShell(const std::string& database, const std::string& sql);

}  // namespace agendia::testing
