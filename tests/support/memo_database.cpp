#include "support/memo_database.h"

#include "db/default_client.h"
#include "support/sqlite_files.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <random>

namespace agendia::testing {
namespace {

struct Handle {
  sqlite3* db = nullptr;
  explicit Handle(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db);
    }
  }
  ~Handle() { sqlite3_close(db); }
};

}  // namespace

MemoDatabase::MemoDatabase() {
  const Status created = CreateMemoDatabase(path());
  EXPECT_TRUE(created.ok()) << created.description();
}

void MemoDatabase::Insert(const MemoRow& row) {
  Handle handle(path());
  sqlite3_stmt* statement = nullptr;
  const char* sql =
      "insert into ZA_Message (cMsgId, nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, "
      "dSend, nValidDay, bHasRead, DisplayPeriods, Account, Year) "
      "values (?, ?, ?, ?, ?, ?, ?, 0, 0, ?, ?, ?)";
  ASSERT_EQ(sqlite3_prepare_v2(handle.db, sql, -1, &statement, nullptr), SQLITE_OK)
      << sqlite3_errmsg(handle.db);
  auto text = [&](int index, const std::optional<std::string>& value) {
    if (value) {
      sqlite3_bind_text(statement, index, value->c_str(), static_cast<int>(value->size()),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(statement, index);
    }
  };
  text(1, row.id);
  sqlite3_bind_int(statement, 2, row.type);
  text(3, row.title);
  text(4, row.content);
  text(5, row.sender);
  text(6, row.receiver);
  text(7, row.send);
  if (row.kind) {
    sqlite3_bind_int64(statement, 8, *row.kind);
  } else {
    sqlite3_bind_null(statement, 8);
  }
  text(9, row.account);
  sqlite3_bind_int64(statement, 10, row.year);
  EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(handle.db);
  sqlite3_finalize(statement);
}

void MemoDatabase::Run(const std::string& sql) {
  const Status ran = RunSql(path(), sql);
  EXPECT_TRUE(ran.ok()) << ran.description();
}

std::vector<StoredRow> MemoDatabase::Query(const std::string& sql) {
  Handle handle(path());
  std::vector<StoredRow> rows;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle.db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(handle.db);
    return rows;
  }
  while (sqlite3_step(statement) == SQLITE_ROW) {
    StoredRow row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const auto* value = sqlite3_column_text(statement, i);
      row[sqlite3_column_name(statement, i)] =
          value ? std::optional<std::string>(reinterpret_cast<const char*>(value)) : std::nullopt;
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(statement);
  return rows;
}

void MemoDatabaseTest::SetUp() { client_ = db::MakeDefaultClient(); }

std::shared_ptr<db::Connection> MemoDatabaseTest::Connect(const std::string& connection_string) {
  StatusOr<std::shared_ptr<db::Connection>> connection = client_->CreateConnection();
  if (!connection.ok()) {
    ADD_FAILURE() << connection.status().description();
    return nullptr;
  }
  const Status opened = (*connection)->Open(connection_string);
  if (!opened.ok()) {
    ADD_FAILURE() << opened.description();
    return nullptr;
  }
  return *connection;
}

std::unique_ptr<db::Recordset> MemoDatabaseTest::Query(
    const std::shared_ptr<db::Connection>& connection, const std::string& select) {
  StatusOr<std::unique_ptr<db::Recordset>> recordset = client_->CreateRecordset();
  if (!recordset.ok()) {
    ADD_FAILURE() << recordset.status().description();
    return nullptr;
  }
  Status status = (*recordset)->SetActiveConnection(connection);
  if (status.ok()) status = (*recordset)->Open(select);
  if (!status.ok()) {
    ADD_FAILURE() << status.description();
    return nullptr;
  }
  return std::move(*recordset);
}

std::vector<std::string> MemoDatabaseTest::ReadColumn(
    const std::shared_ptr<db::Connection>& connection, const std::string& select,
    const std::string& column) {
  std::vector<std::string> texts;
  std::unique_ptr<db::Recordset> rows = Query(connection, select);
  if (!rows) return texts;
  db::FieldValue value;
  for (;;) {
    StatusOr<bool> at_end = rows->EndOfFile();
    if (!at_end.ok() || *at_end) break;
    const Status read = rows->ReadValue(column, value);
    if (!read.ok()) {
      ADD_FAILURE() << read.description();
      break;
    }
    if (value.type == db::FieldValue::Type::kInteger) {
      texts.push_back(std::to_string(value.integer));
    } else {
      texts.push_back(value.IsNull() ? "<null>" : value.text);
    }
    const Status moved = rows->MoveNext();
    if (!moved.ok()) {
      ADD_FAILURE() << moved.description();
      break;
    }
  }
  EXPECT_TRUE(rows->Close().ok());
  return texts;
}

db::FieldValue MemoDatabaseTest::ValueOf(const db::Recordset& rows, std::string_view column) {
  db::FieldValue value;
  const Status read = rows.ReadValue(column, value);
  if (!read.ok()) ADD_FAILURE() << std::string(column) << ": " << read.description();
  return value;
}

bool MemoDatabaseTest::AtEnd(const db::Recordset& rows) {
  StatusOr<bool> at_end = rows.EndOfFile();
  if (!at_end.ok()) {
    ADD_FAILURE() << at_end.status().description();
    return true;
  }
  return *at_end;
}

void MemoDatabaseTest::AddTwoMemos() {
  AddRow("'A1', 100, 'Dentist', NULL, 'demo', 'demo', '2024-02-01 08:00:00', 480, 0, 1, '001', 2024");
  AddRow("'B2', 100, 'Gym', NULL, 'demo', 'demo', '2024-02-02 18:00:00', 1080, 1, 3, '001', 2024");
}

void MemoDatabaseTest::AddRow(const std::string& values_of_every_column) {
  database_.Run("insert into ZA_Message values (" + values_of_every_column + ")");
}

std::optional<std::string> RunSqliteShell(const std::string& database, const std::string& sql) {
  const std::filesystem::path script =
      std::filesystem::temp_directory_path() / ("agendia-shell-" + std::to_string(std::random_device()()) + ".sql");
  {
    std::ofstream file(script);
    file << sql;
  }
  const std::string command = "sqlite3 -batch '" + database + "' < '" + script.string() + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe != nullptr) {
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
  }
  const int status = pipe != nullptr ? pclose(pipe) : -1;
  std::filesystem::remove(script);
  if (status != 0) return std::nullopt;
  return output;
}

}  // namespace agendia::testing
