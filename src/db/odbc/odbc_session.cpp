#include "db/odbc/odbc_session_p.h"

#include "db/database.h"
#include "db/odbc/odbc_cursor_p.h"
#include "db/odbc/wide_text.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace agendia::db::odbc {

namespace {

SQLPOINTER Seconds(long seconds) { return reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(seconds)); }

}  // namespace

StatusOr<std::unique_ptr<Session>> OdbcSession::Open(const OdbcTarget& target,
                                                     long command_timeout_seconds) {
  std::unique_ptr<OdbcSession> session(new OdbcSession());
  session->secrets_ = target.secrets;
  session->SetCommandTimeout(command_timeout_seconds);
  AGENDIA_RETURN_IF_ERROR(session->Connect(target));
  return std::unique_ptr<Session>(std::move(session));
}

OdbcSession::~OdbcSession() { Close(); }

Status OdbcSession::Connect(const OdbcTarget& target) {
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment_.out()))) {
    return Status::Error(err::kUnspecified, "The ODBC driver manager could not be started");
  }
  SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(SQL_OV_ODBC3)), 0);
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment_.get(), connection_.out()))) {
    return Failure(SQL_HANDLE_ENV, environment_.get(), Stage::kConnect, secrets_);
  }
  // Both bounds, as drivers differ in which wait each one covers; a driver
  // that knows only one of them reports the other as unsupported, which is
  // no reason not to connect.
  SQLSetConnectAttrW(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT, Seconds(target.login_timeout_seconds),
                     0);
  SQLSetConnectAttrW(connection_.get(), SQL_ATTR_CONNECTION_TIMEOUT,
                     Seconds(target.login_timeout_seconds), 0);

  std::u16string text = Utf8ToUtf16(target.connection_string);
  const SQLRETURN connected =
      SQLDriverConnectW(connection_.get(), nullptr, Wide(text), SQL_NTS, nullptr, 0, nullptr,
                        SQL_DRIVER_NOPROMPT);
  // The text holds the password: it is not kept longer than the call needs.
  std::fill(text.begin(), text.end(), u'\0');
  if (!Succeeded(connected)) {
    return Failure(SQL_HANDLE_DBC, connection_.get(), Stage::kConnect, secrets_);
  }
  connected_ = true;

  SQLWCHAR name[128] = {};
  SQLSMALLINT length = 0;
  if (Succeeded(SQLGetInfoW(connection_.get(), SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name),
                            &length))) {
    dialect_ = DialectOfDbms(Utf16ToUtf8(std::u16string_view(Narrowed(name))));
  }
  SQLWCHAR driver[128] = {};
  if (Succeeded(SQLGetInfoW(connection_.get(), SQL_DRIVER_NAME, driver, SQLSMALLINT(sizeof driver),
                            &length))) {
    driver_name_ = Utf16ToUtf8(std::u16string_view(Narrowed(driver)));
  }
  return Status::Ok();
}

Status OdbcSession::StatementFailure(SQLHANDLE statement) const {
  return Failure(SQL_HANDLE_STMT, statement, Stage::kStatement, secrets_);
}

Status OdbcSession::Run(const std::string& statement, StatementHandle& handle, bool& no_data) {
  if (!connected_) return Status::Error(err::kObjectClosed, "The connection is closed");
  StatusOr<std::string> adapted = AdaptForDialect(dialect_, statement);
  if (!adapted.ok()) return adapted.status();

  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection_.get(), handle.out()))) {
    return Failure(SQL_HANDLE_DBC, connection_.get(), Stage::kStatement, secrets_);
  }
  SQLSetStmtAttrW(handle.get(), SQL_ATTR_QUERY_TIMEOUT,
                  Seconds(QueryTimeoutForDriver(driver_name_, command_timeout_)), 0);
  std::u16string text = Utf8ToUtf16(*adapted);
  const SQLRETURN ran = SQLExecDirectW(handle.get(), Wide(text), SQLINTEGER(text.size()));
  no_data = ran == SQL_NO_DATA;
  if (no_data || Succeeded(ran)) return Status::Ok();
  return StatementFailure(handle.get());
}

Status OdbcSession::Execute(const std::string& statement) {
  StatementHandle handle;
  bool no_data = false;
  AGENDIA_RETURN_IF_ERROR(Run(statement, handle, no_data));
  // An update or delete that matched no row is no failure. A batch reports
  // the failure of a later statement only as its results are walked.
  if (no_data) return Status::Ok();
  for (;;) {
    const SQLRETURN more = SQLMoreResults(handle.get());
    if (more == SQL_NO_DATA) return Status::Ok();
    if (!Succeeded(more)) return StatementFailure(handle.get());
  }
}

StatusOr<std::unique_ptr<Cursor>> OdbcSession::Query(const std::string& statement) {
  auto handle = std::make_unique<StatementHandle>();
  bool no_data = false;
  AGENDIA_RETURN_IF_ERROR(Run(statement, *handle, no_data));
  // Room first, so that registering the cursor cannot fail once it exists.
  cursors_.reserve(cursors_.size() + 1);
  auto cursor = std::make_unique<OdbcCursor>(*this, std::move(handle));
  cursors_.push_back(cursor.get());
  if (!no_data) AGENDIA_RETURN_IF_ERROR(cursor->Describe());
  return std::unique_ptr<Cursor>(std::move(cursor));
}

void OdbcSession::Forget(const OdbcCursor& cursor) {
  cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), &cursor), cursors_.end());
}

void OdbcSession::Close() {
  for (OdbcCursor* cursor : cursors_) cursor->Detach();
  cursors_.clear();
  if (connected_) SQLDisconnect(connection_.get());
  connected_ = false;
  connection_.Reset();
  environment_.Reset();
}

}  // namespace agendia::db::odbc
