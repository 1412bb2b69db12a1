#pragma once

#include "db/backend.h"
#include "db/odbc/odbc_api_p.h"
#include "db/odbc/odbc_dialect.h"
#include "db/odbc/odbc_status_p.h"
#include "db/odbc_target.h"

#include <memory>
#include <string>
#include <vector>

namespace agendia::db::odbc {

class OdbcCursor;

// One ODBC connection. Like the SQLite session it knows its open cursors:
// Close frees their statements first, then disconnects, so no statement or
// server connection outlives Close.
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
  StatusOr<std::unique_ptr<Cursor>> Query(const std::string& statement) override;
  void Close() override;

  OdbcDialect dialect() const { return dialect_; }

  // For the cursors.
  Status StatementFailure(SQLHANDLE statement) const;
  void Forget(const OdbcCursor& cursor);

 private:
  OdbcSession() = default;
  Status Connect(const OdbcTarget& target);
  // A new statement handle with the time-out set, on which `statement`
  // (adapted to the dialect) has run. `no_data` tells an action statement
  // that matched no row.
  Status Run(const std::string& statement, StatementHandle& handle, bool& no_data);

  EnvironmentHandle environment_;
  ConnectionHandle connection_;
  bool connected_ = false;
  OdbcDialect dialect_ = OdbcDialect::kOther;
  std::string driver_name_;  // SQL_DRIVER_NAME, for the driver's query time-out
  long command_timeout_ = 0;
  std::vector<std::string> secrets_;
  std::vector<OdbcCursor*> cursors_;
};

}  // namespace agendia::db::odbc
