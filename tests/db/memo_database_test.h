#pragma once

#include "db/database.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace agendia::testing {

// A test with a memo database file of its own, made from the shipped schema
// in a fresh folder, and the default client to reach it.
class MemoDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;

  const std::filesystem::path& file() const { return file_; }
  std::string connection_string() const { return "Provider=SQLite;Data Source=" + file_.string(); }

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
  TempDir folder_{"agendia-db"};
  std::filesystem::path file_;
};

}  // namespace agendia::testing
