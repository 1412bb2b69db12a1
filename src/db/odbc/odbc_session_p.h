#pragma once

#include "db/backend.h"
#include "db/odbc/odbc_api_p.h"
#include "db/odbc/odbc_dialect.h"
#include "db/odbc/odbc_link_p.h"
#include "db/odbc/odbc_status_p.h"
#include "db/odbc/odbc_text_path.h"
#include "db/odbc_target.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace agendia::db::odbc {

class OdbcCursor;

// See SetCommandTimeoutCeilingForTesting (odbc_backend.h).
void SetCommandTimeoutCeiling(long seconds);

// One ODBC connection. Like the SQLite session it knows its open cursors:
// Close frees their statements first, then disconnects, so no statement or
// server connection outlives Close (but one whose statement outlived its
// time bound: that one is dropped when the driver lets go of it).
class OdbcSession final : public Session {
 public:
  // Connects as `target` says, bounded by its login time-out.
  static StatusOr<std::unique_ptr<Session>> Open(const OdbcTarget& target,
                                                 long command_timeout_seconds);
  ~OdbcSession() override;
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;

  void SetCommandTimeout(long seconds) override { command_timeout_ = seconds > 0 ? seconds : 0; }
  Status Execute(const std::string& statement) override;
  long RowsAffected() const override { return rows_affected_; }
  StatusOr<std::unique_ptr<Cursor>> Query(const std::string& statement) override;
  void Close() override;

  OdbcDialect dialect() const { return dialect_; }
  OdbcTextPath text_path() const { return text_path_; }

  // For the cursors.
  Status StatementFailure(SQLHANDLE statement) const;
  void Forget(const OdbcCursor& cursor);

 private:
  OdbcSession() = default;
  Status Connect(const OdbcTarget& target);
  // Which way text reaches this driver unchanged (see OdbcTextPath): the
  // driver translates a probe text that only an untouched trip keeps.
  OdbcTextPath ProbeTextPath() const;
  // Runs `statement` (adapted to the dialect) on a new statement handle
  // within the command time-out. `walk` runs right after it on the same
  // thread, with the statement's result, and gives the final result (the
  // rows of an action statement are counted there). SQL_NO_DATA is no
  // failure.
  Status Run(const std::string& statement, std::shared_ptr<Statement>& handle,
             const std::function<SQLRETURN(SQLHANDLE, SQLRETURN)>& walk, SQLRETURN& result);
  // After a statement outlived every bound: the session lets go of its
  // connection without calling the driver again, and is closed from now on.
  void Abandon();

  std::shared_ptr<Link> link_;
  OdbcDialect dialect_ = OdbcDialect::kOther;
  OdbcTextPath text_path_ = OdbcTextPath::kWide;
  long command_timeout_ = 0;
  long rows_affected_ = -1;
  std::vector<std::string> secrets_;
  std::vector<OdbcCursor*> cursors_;
};

}  // namespace agendia::db::odbc
