#include "db/odbc/odbc_session_p.h"

#include "db/database.h"
#include "db/odbc/odbc_cursor_p.h"
#include "db/odbc/wide_text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <utility>

namespace agendia::db::odbc {

namespace {

std::atomic<long> command_timeout_ceiling{0};

SQLPOINTER Seconds(long seconds) { return reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(seconds)); }

// Rows the statement changed; -1 when the driver cannot tell.
long RowCount(SQLHANDLE statement) {
  SQLLEN rows = -1;
  if (!Succeeded(SQLRowCount(statement, &rows))) return -1;
  return rows < 0 ? -1 : long(rows);
}

// Connects take turns within the process: a driver may not be safe to
// connect from two threads at once. psqlODBC reads and sets the process's
// locale while it connects, and a second connect's setlocale frees the name
// the first one is reading. Statements still run side by side.
std::mutex& ConnectTurn() {
  static std::mutex turn;
  return turn;
}

}  // namespace

void SetCommandTimeoutCeiling(long seconds) { command_timeout_ceiling = seconds > 0 ? seconds : 0; }

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
  auto link = std::make_shared<Link>();
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, link->environment.out()))) {
    const std::string problem = DriverManagerProblem();
    return Status::Error(err::kUnspecified, "The ODBC driver manager could not be started" +
                                                (problem.empty() ? "" : ": " + problem));
  }
  SQLSetEnvAttr(link->environment.get(), SQL_ATTR_ODBC_VERSION,
                reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(SQL_OV_ODBC3)), 0);
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, link->environment.get(), link->connection.out()))) {
    return Failure(SQL_HANDLE_ENV, link->environment.get(), Stage::kConnect, secrets_);
  }
  const SQLHANDLE connection = link->connection.get();
  // Both bounds, as drivers differ in which wait each one covers; a driver
  // that knows only one of them reports the other as unsupported, which is
  // no reason not to connect.
  SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT, Seconds(target.login_timeout_seconds), 0);
  SQLSetConnectAttrW(connection, SQL_ATTR_CONNECTION_TIMEOUT, Seconds(target.login_timeout_seconds),
                     0);

  std::u16string text = Utf8ToUtf16(target.connection_string);
  SQLRETURN connected;
  {
    const std::lock_guard<std::mutex> turn(ConnectTurn());
    connected = SQLDriverConnectW(connection, nullptr, Wide(text), SQL_NTS, nullptr, 0, nullptr,
                                  SQL_DRIVER_NOPROMPT);
  }
  // The text holds the password: it is not kept longer than the call needs.
  std::fill(text.begin(), text.end(), u'\0');
  if (!Succeeded(connected)) {
    return Failure(SQL_HANDLE_DBC, connection, Stage::kConnect, secrets_);
  }
  link->connected = true;
  link_ = std::move(link);

  SQLWCHAR name[128] = {};
  SQLSMALLINT length = 0;
  if (Succeeded(SQLGetInfoW(connection, SQL_DBMS_NAME, name, SQLSMALLINT(sizeof name), &length))) {
    dialect_ = DialectOfDbms(Utf16ToUtf8(std::u16string_view(Narrowed(name))));
  }
  SQLWCHAR driver[128] = {};
  if (Succeeded(SQLGetInfoW(connection, SQL_DRIVER_NAME, driver, SQLSMALLINT(sizeof driver),
                            &length))) {
    driver_name_ = Utf16ToUtf8(std::u16string_view(Narrowed(driver)));
  }
  text_path_ = ProbeTextPath();
  return Status::Ok();
}

OdbcTextPath OdbcSession::ProbeTextPath() const {
  // Units whose low bytes are an apostrophe and a NUL, both Chinese scripts,
  // an accented letter and a character beyond the basic plane: a narrowing
  // or a conversion through the process's locale changes at least one.
  const std::u16string probe = u"select '\u4E27\u4E2D\u9AD4\u00E9\U0001F600\u0100x'";
  const SQLHANDLE connection = link_->connection.get();

  // Both buffers get twice the room the call is told of, the input too:
  // the SQLite ODBC driver ends the *input* text at the output's length, and
  // a layer that counts that length in bytes would write twice as far. Either
  // corrupted the heap of the 32-bit DLL under Wine.
  const size_t wide_room = probe.size() + 16;
  std::u16string wide = probe;
  wide.resize(2 * wide_room, u'\0');
  std::u16string wide_back(2 * wide_room, u'\0');
  SQLINTEGER length = 0;
  const SQLRETURN wide_trip =
      SQLNativeSqlW(connection, Wide(wide), SQLINTEGER(probe.size()), Wide(wide_back),
                    SQLINTEGER(wide_room), &length);
  if (Succeeded(wide_trip) && length == SQLINTEGER(probe.size()) &&
      std::u16string_view(wide_back).substr(0, probe.size() + 1) ==
          std::u16string_view(probe.c_str(), probe.size() + 1)) {
    return OdbcTextPath::kWide;
  }

  const std::string expected = Utf16ToUtf8(probe);
  const size_t narrow_room = expected.size() + 16;
  std::string narrow = expected;
  narrow.resize(4 * narrow_room, '\0');
  std::string narrow_back(4 * narrow_room, '\0');
  length = 0;
  const SQLRETURN narrow_trip = SQLNativeSql(
      connection, reinterpret_cast<SQLCHAR*>(narrow.data()), SQLINTEGER(expected.size()),
      reinterpret_cast<SQLCHAR*>(narrow_back.data()), SQLINTEGER(narrow_room), &length);
  if (Succeeded(narrow_trip) && length == SQLINTEGER(expected.size()) &&
      std::string_view(narrow_back).substr(0, expected.size() + 1) ==
          std::string_view(expected.c_str(), expected.size() + 1)) {
    return OdbcTextPath::kNarrowUtf8;
  }
  // A driver that translates no statement tells nothing: the wide way, as
  // ODBC means it to go.
  if (!Succeeded(wide_trip) && !Succeeded(narrow_trip)) return OdbcTextPath::kWide;
  return OdbcTextPath::kAsciiOnly;
}

Status OdbcSession::StatementFailure(SQLHANDLE statement) const {
  return Failure(SQL_HANDLE_STMT, statement, Stage::kStatement, secrets_,
                 text_path_ == OdbcTextPath::kNarrowUtf8);
}

Status OdbcSession::Run(const std::string& statement, std::shared_ptr<Statement>& handle,
                        const std::function<SQLRETURN(SQLHANDLE, SQLRETURN)>& walk,
                        SQLRETURN& result) {
  if (!link_) return Status::Error(err::kObjectClosed, "The connection is closed");
  StatusOr<std::string> adapted = AdaptForDialect(dialect_, statement);
  if (!adapted.ok()) return adapted.status();
  AGENDIA_RETURN_IF_ERROR(CheckStatementText(text_path_, *adapted));

  handle = std::make_shared<Statement>(link_);
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, link_->connection.get(), handle->handle.out()))) {
    return Failure(SQL_HANDLE_DBC, link_->connection.get(), Stage::kStatement, secrets_);
  }
  const SQLHANDLE raw = handle->handle.get();
  long limit_seconds = command_timeout_;
  if (const long ceiling = command_timeout_ceiling; ceiling > 0) {
    limit_seconds = limit_seconds == 0 ? ceiling : std::min(limit_seconds, ceiling);
  }
  // psqlODBC keeps its query time-out by setting the server's
  // statement_timeout, which would override a database's own shorter one;
  // there the cancel below bounds the statement instead, so the shorter of
  // the two holds. Other drivers keep the time-out on the client.
  const bool driver_bound = dialect_ != OdbcDialect::kPostgreSql;
  if (driver_bound) {
    SQLSetStmtAttrW(raw, SQL_ATTR_QUERY_TIMEOUT,
                    Seconds(QueryTimeoutForDriver(driver_name_, limit_seconds)), 0);
  }

  // The call owns its text: after a time-out it may outlive this function.
  std::function<SQLRETURN()> call;
  if (text_path_ == OdbcTextPath::kNarrowUtf8) {
    call = [raw, walk, text = std::move(*adapted)]() mutable {
      const SQLRETURN ran =
          SQLExecDirect(raw, reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size()));
      return walk ? walk(raw, ran) : ran;
    };
  } else {
    call = [raw, walk, text = Utf8ToUtf16(*adapted)]() mutable {
      const SQLRETURN ran = SQLExecDirectW(raw, Wide(text), SQLINTEGER(text.size()));
      return walk ? walk(raw, ran) : ran;
    };
  }

  if (limit_seconds == 0) {
    result = call();
  } else {
    using std::chrono::seconds;
    const seconds limit(limit_seconds);
    const seconds margin = std::clamp(limit / 30, seconds(1), seconds(10));
    CallBound bound;
    bound.cancel_after = driver_bound ? limit + margin : limit;
    bound.give_up_after = bound.cancel_after + margin;
    const std::string within = " within " + std::to_string(limit_seconds) + " seconds";
    switch (RunBounded(handle, std::move(call), bound, result)) {
      case CallEnd::kGaveUp:
        handle.reset();
        Abandon();
        return Status::Error(err::kTimeout, "Query timeout expired: the database server did not "
                                            "answer" + within + ", so the connection was dropped");
      case CallEnd::kCancelled:
        if (!Succeeded(result) && result != SQL_NO_DATA) {
          return Status::Error(err::kTimeout, "Query timeout expired: the statement did not end" +
                                                  within + " and was cancelled");
        }
        break;
      case CallEnd::kReturned:
        break;
    }
  }
  if (Succeeded(result) || result == SQL_NO_DATA) return Status::Ok();
  return StatementFailure(raw);
}

Status OdbcSession::Execute(const std::string& statement) {
  rows_affected_ = -1;
  // Shared with the call, which may outlive this function.
  auto rows = std::make_shared<long>(-1);
  std::shared_ptr<Statement> handle;
  SQLRETURN result = SQL_SUCCESS;
  AGENDIA_RETURN_IF_ERROR(Run(
      statement, handle,
      [rows](SQLHANDLE raw, SQLRETURN ran) -> SQLRETURN {
        // An update or delete that matched no row is no failure: it changed
        // no row.
        if (ran == SQL_NO_DATA) {
          *rows = 0;
          return SQL_SUCCESS;
        }
        if (!Succeeded(ran)) return ran;
        *rows = RowCount(raw);
        // A batch reports the failure of a later statement only as its
        // results are walked; the rows of every statement count.
        for (;;) {
          const SQLRETURN more = SQLMoreResults(raw);
          if (more == SQL_NO_DATA) return SQL_SUCCESS;
          if (!Succeeded(more)) return more;
          const long next = RowCount(raw);
          if (next >= 0) *rows = *rows >= 0 ? *rows + next : next;
        }
      },
      result));
  rows_affected_ = *rows;
  return Status::Ok();
}

StatusOr<std::unique_ptr<Cursor>> OdbcSession::Query(const std::string& statement) {
  std::shared_ptr<Statement> handle;
  SQLRETURN result = SQL_SUCCESS;
  AGENDIA_RETURN_IF_ERROR(Run(statement, handle, nullptr, result));
  // Room first, so that registering the cursor cannot fail once it exists.
  cursors_.reserve(cursors_.size() + 1);
  auto cursor = std::make_unique<OdbcCursor>(*this, std::move(handle));
  cursors_.push_back(cursor.get());
  if (result != SQL_NO_DATA) AGENDIA_RETURN_IF_ERROR(cursor->Describe());
  return std::unique_ptr<Cursor>(std::move(cursor));
}

void OdbcSession::Forget(const OdbcCursor& cursor) {
  cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), &cursor), cursors_.end());
}

void OdbcSession::Abandon() {
  // The driver may hold the connection while it waits: freeing a statement
  // of it here could wait as long. Open cursors hand their statements over
  // to the link, which frees them when the last one lets go of it.
  for (OdbcCursor* cursor : cursors_) cursor->Orphan();
  cursors_.clear();
  link_.reset();
}

void OdbcSession::Close() {
  for (OdbcCursor* cursor : cursors_) cursor->Detach();
  cursors_.clear();
  // Disconnects and frees the connection, unless a statement that outlived
  // its time bound still holds it: then that happens once the driver returns.
  link_.reset();
}

}  // namespace agendia::db::odbc
