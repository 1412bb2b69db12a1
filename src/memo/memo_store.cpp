#include "base/no_throw.h"
#include "form/frmCalendarInfo.h"

namespace agendia {

namespace {
// Statements may run this long before they fail.
constexpr long kCommandTimeoutSeconds = 300;
// No limit of the window's own on opening; the database client bounds it.
constexpr long kConnectionTimeoutSeconds = 0;

Status ClientMissing() {
  return Status::Error(db::err::kCannotCreateObject,
                       "ActiveX component can't create object: no database client is installed");
}
}  // namespace

StatusOr<std::shared_ptr<db::Connection>> frmCalendarInfo::OpenMemoConnection() {
  if (!platform_->database) return ClientMissing();
  auto oConn = platform_->database->CreateConnection();
  if (!oConn.ok()) return oConn.status();
  std::shared_ptr<db::Connection> connection = std::move(oConn).value();
  AGENDIA_RETURN_IF_ERROR(connection->SetCommandTimeout(kCommandTimeoutSeconds));
  AGENDIA_RETURN_IF_ERROR(connection->SetConnectionTimeout(kConnectionTimeoutSeconds));
  AGENDIA_RETURN_IF_ERROR(connection->Open(g_cConn));
  return connection;
}

StatusOr<std::unique_ptr<db::Recordset>> frmCalendarInfo::OpenMemoRecordset(
    const std::shared_ptr<db::Connection>& oConn, const std::string& strSql) {
  if (!platform_->database) return ClientMissing();
  auto oRs = platform_->database->CreateRecordset();
  if (!oRs.ok()) return oRs.status();
  std::unique_ptr<db::Recordset> recordset = std::move(oRs).value();
  AGENDIA_RETURN_IF_ERROR(recordset->SetActiveConnection(oConn));
  AGENDIA_RETURN_IF_ERROR(recordset->Open(strSql));
  return recordset;
}

Status frmCalendarInfo::OpenMemoSelect(const std::string& strSql,
                                       std::shared_ptr<db::Connection>& oConn,
                                       std::unique_ptr<db::Recordset>& oRs) {
  auto connection = OpenMemoConnection();
  if (!connection.ok()) return connection.status();
  oConn = std::move(connection).value();
  auto recordset = OpenMemoRecordset(oConn, strSql);
  if (!recordset.ok()) return recordset.status();
  oRs = std::move(recordset).value();
  return Status::Ok();
}

namespace {
// Closes an open connection or recordset and releases it; an object that was
// never created is skipped, and one that never opened is released unclosed.
template <typename Reference>
void CloseAndRelease(Reference& oObject) {
  if (!oObject) return;
  if (oObject->State() == db::kStateOpen) oObject->Close().IgnoreError();
  oObject.reset();
}
}  // namespace

void frmCalendarInfo::CloseIfOpen(std::unique_ptr<db::Recordset>& oRs) { CloseAndRelease(oRs); }
void frmCalendarInfo::CloseIfOpen(std::shared_ptr<db::Connection>& oConn) { CloseAndRelease(oConn); }

Status frmCalendarInfo::RunDatabaseSteps(const std::function<Status()>& steps) {
  return base::CallWithoutThrowing("The database client failed", steps);
}

void frmCalendarInfo::ExecuteMemoStatement(const std::string& strSql) {
  std::shared_ptr<db::Connection> oConn;
  Status executed = RunDatabaseSteps([&]() -> Status {
    auto connection = OpenMemoConnection();
    if (!connection.ok()) return connection.status();
    oConn = std::move(connection).value();
    return oConn->Execute(strSql);
  });
  // Released before any message, so that no connection or lock is held
  // while the message box waits for the user.
  CloseIfOpen(oConn);
  if (!executed.ok()) ShowDbError(executed);
}

// The failure's description followed directly by its number in parentheses,
// in a plain box with the application's title.
void frmCalendarInfo::ShowDbError(const Status& failure) { ShowFailure(failure); }

}  // namespace agendia
