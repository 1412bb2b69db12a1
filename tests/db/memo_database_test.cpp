#include "db/memo_database_test.h"

#include "db/default_client.h"
#include "support/sqlite_files.h"

namespace agendia::testing {

void MemoDatabaseTest::SetUp() {
  client_ = db::MakeDefaultClient();
  file_ = folder_.path() / "VXSystem.db";
  const Status created = CreateMemoDatabase(file_);
  ASSERT_TRUE(created.ok()) << created.description();
}

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
  const Status added =
      RunSql(file_, "insert into ZA_Message values (" + values_of_every_column + ")");
  ASSERT_TRUE(added.ok()) << added.description();
}

}  // namespace agendia::testing
