#pragma once

#include "db/database.h"

#include <agendia/status.h>

#include <functional>
#include <memory>
#include <string>

namespace agendia::memo {

// The memo database as the window reaches it: every action opens a
// connection of its own with the store's time limits and releases it, and
// every recordset on it, before the action ends, so that no connection or
// lock outlives the action (nor is held while a message waits for the user).
class MemoStore {
 public:
  struct TimeLimits {
    // Statements may run this long before they fail.
    long command_timeout_seconds = 300;
    // 0: no bound of the store's own on opening; the database client bounds it.
    long connection_timeout_seconds = 0;
  };

  // `client` may be null: every action then fails with
  // db::err::kCannotCreateObject, as when no database client is installed.
  MemoStore(std::shared_ptr<db::Client> client, std::string connection_string,
            TimeLimits limits);
  MemoStore(std::shared_ptr<db::Client> client, std::string connection_string)
      : MemoStore(std::move(client), std::move(connection_string), TimeLimits()) {}

  // A connection with the time limits set, open on the connection string.
  StatusOr<std::shared_ptr<db::Connection>> OpenConnection() const;
  // A recordset open on `select` over `connection`, before its first row.
  StatusOr<std::unique_ptr<db::Recordset>> OpenRecordset(
      const std::shared_ptr<db::Connection>& connection, const std::string& select) const;
  // Opens the connection, then the recordset of `select` on it. Each object
  // is kept in its reference as soon as it exists, so that CloseIfOpen
  // releases whatever was made, whichever step failed.
  Status OpenSelect(const std::string& select, std::shared_ptr<db::Connection>& connection,
                    std::unique_ptr<db::Recordset>& rows) const;
  // Closes an open object and releases it; one never created is skipped, one
  // that never opened is released unclosed.
  static void CloseIfOpen(std::unique_ptr<db::Recordset>& rows);
  static void CloseIfOpen(std::shared_ptr<db::Connection>& connection);

  // Runs `select` and hands its rows, before the first one, to `read_rows`.
  // The recordset and the connection are closed and released before this
  // returns. Gives the first failure of any step, `read_rows` included; an
  // exception from the client or from `read_rows` becomes such a failure.
  Status Select(const std::string& select,
                const std::function<Status(db::Recordset& rows)>& read_rows) const;
  // Runs one insert, update or delete on a connection of its own, released
  // before this returns; gives its failure the same way. `records_affected`,
  // when given, receives the rows it changed (-1 when the client cannot tell).
  // `answer_lost`, when given, is set when the statement failed on an open
  // connection in a way that leaves its outcome unknown (the connection's
  // MayHaveBeenCarriedOut): it may be stored although it failed.
  Status Execute(const std::string& statement, long* records_affected = nullptr,
                 bool* answer_lost = nullptr) const;

 private:
  static Status RunSteps(const std::function<Status()>& steps);

  std::shared_ptr<db::Client> client_;
  std::string connection_string_;
  TimeLimits limits_;
};

}  // namespace agendia::memo
