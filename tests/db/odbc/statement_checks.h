#pragma once

// For the tests of the memo statements on each database behind ODBC: a
// connection opened as the calendar window opens one, rows read back
// through the component, the memo the tests write, and the check that each
// statement reports the rows it changed.

#include "db/database.h"
#include "memo/statements.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace agendia::testing {

// A connection to `connection_string` opened as the window opens one:
// CommandTimeout `command_timeout`, ConnectionTimeout 0. A failure fails the
// test; the connection is returned all the same, so that the test's next
// statement fails with a status instead of crashing.
inline std::shared_ptr<db::Connection> OpenAsTheWindow(db::Client& client,
                                                       const std::string& connection_string,
                                                       long command_timeout = 300) {
  auto connection = client.CreateConnection();
  EXPECT_TRUE(connection.ok());
  EXPECT_TRUE((*connection)->SetCommandTimeout(command_timeout).ok());
  EXPECT_TRUE((*connection)->SetConnectionTimeout(0).ok());
  const Status opened = (*connection)->Open(connection_string);
  EXPECT_TRUE(opened.ok()) << opened.description();
  return *connection;
}

// `columns` of every row `select` gives through the component, joined by '|'.
inline std::vector<std::string> ReadRows(db::Client& client,
                                         const std::shared_ptr<db::Connection>& connection,
                                         const std::string& select,
                                         const std::vector<std::string>& columns) {
  std::vector<std::string> rows;
  auto recordset = client.CreateRecordset();
  EXPECT_TRUE((*recordset)->SetActiveConnection(connection).ok());
  const Status opened = (*recordset)->Open(select);
  EXPECT_TRUE(opened.ok()) << opened.description();
  if (!opened.ok()) return rows;
  while (!*(*recordset)->EndOfFile()) {
    std::string line;
    for (const std::string& column : columns) {
      auto value = (*recordset)->Value(column);
      EXPECT_TRUE(value.ok()) << value.status().description();
      if (!line.empty()) line += "|";
      if (value.ok()) line += value->text;
    }
    rows.push_back(line);
    EXPECT_TRUE((*recordset)->MoveNext().ok());
  }
  return rows;
}

// A weekly memo of `user` due 2024-03-01 09:30, account 001, year 2024.
inline memo::NewMemo WeeklyMemo(std::string title, std::string content,
                                std::string user = "demo") {
  return {std::move(title), std::move(content), std::move(user), "2024-03-01 09:30:00", 570, 2,
          "001", "2024"};
}

// Insert, update of no row, update, delete, delete again: each reports the
// rows it changed. `inserted_id` reads the id of the memo just inserted past
// the component.
inline void ExpectEachStatementReportsTheRowsItChanged(
    db::Connection& connection, const std::function<std::string()>& inserted_id) {
  long rows = -1;
  ASSERT_TRUE(connection.Execute(*memo::InsertMemo(WeeklyMemo("a", "b")), &rows).ok());
  EXPECT_EQ(rows, 1);
  const std::string id = inserted_id();
  const memo::MemoChange change{"2024-03-01 10:00:00", "t", "c", 600, 1};
  ASSERT_TRUE(connection.Execute(memo::UpdateMemo(change, "NO-SUCH-ID", "demo"), &rows).ok());
  EXPECT_EQ(rows, 0);
  ASSERT_TRUE(connection.Execute(memo::UpdateMemo(change, id, "demo"), &rows).ok());
  EXPECT_EQ(rows, 1);
  ASSERT_TRUE(connection.Execute(memo::DeleteMemo(id, "demo"), &rows).ok());
  EXPECT_EQ(rows, 1);
  ASSERT_TRUE(connection.Execute(memo::DeleteMemo(id, "demo"), &rows).ok());
  EXPECT_EQ(rows, 0);
}

}  // namespace agendia::testing
