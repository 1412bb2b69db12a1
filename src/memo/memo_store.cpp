#include "memo/memo_store.h"

#include "base/no_throw.h"

#include <utility>

namespace agendia::memo {

namespace {

Status ClientMissing() {
  return Status::Error(db::err::kCannotCreateObject,
                       "ActiveX component can't create object: no database client is installed");
}

template <typename Reference>
void CloseAndRelease(Reference& object) {
  if (!object) return;
  if (object->State() == db::kStateOpen) object->Close().IgnoreError();
  object.reset();
}

}  // namespace

MemoStore::MemoStore(std::shared_ptr<db::Client> client, std::string connection_string,
                     TimeLimits limits)
    : client_(std::move(client)),
      connection_string_(std::move(connection_string)),
      limits_(limits) {}

StatusOr<std::shared_ptr<db::Connection>> MemoStore::OpenConnection() const {
  if (!client_) return ClientMissing();
  auto created = client_->CreateConnection();
  if (!created.ok()) return created.status();
  std::shared_ptr<db::Connection> connection = std::move(created).value();
  AGENDIA_RETURN_IF_ERROR(connection->SetCommandTimeout(limits_.command_timeout_seconds));
  AGENDIA_RETURN_IF_ERROR(connection->SetConnectionTimeout(limits_.connection_timeout_seconds));
  AGENDIA_RETURN_IF_ERROR(connection->Open(connection_string_));
  return connection;
}

StatusOr<std::unique_ptr<db::Recordset>> MemoStore::OpenRecordset(
    const std::shared_ptr<db::Connection>& connection, const std::string& select) const {
  if (!client_) return ClientMissing();
  auto created = client_->CreateRecordset();
  if (!created.ok()) return created.status();
  std::unique_ptr<db::Recordset> rows = std::move(created).value();
  AGENDIA_RETURN_IF_ERROR(rows->SetActiveConnection(connection));
  AGENDIA_RETURN_IF_ERROR(rows->Open(select));
  return rows;
}

Status MemoStore::OpenSelect(const std::string& select,
                             std::shared_ptr<db::Connection>& connection,
                             std::unique_ptr<db::Recordset>& rows) const {
  auto opened = OpenConnection();
  if (!opened.ok()) return opened.status();
  connection = std::move(opened).value();
  auto recordset = OpenRecordset(connection, select);
  if (!recordset.ok()) return recordset.status();
  rows = std::move(recordset).value();
  return Status::Ok();
}

void MemoStore::CloseIfOpen(std::unique_ptr<db::Recordset>& rows) { CloseAndRelease(rows); }
void MemoStore::CloseIfOpen(std::shared_ptr<db::Connection>& connection) {
  CloseAndRelease(connection);
}

Status MemoStore::Select(const std::string& select,
                         const std::function<Status(db::Recordset& rows)>& read_rows) const {
  std::shared_ptr<db::Connection> connection;
  std::unique_ptr<db::Recordset> rows;
  const Status read = RunSteps([&]() -> Status {
    AGENDIA_RETURN_IF_ERROR(OpenSelect(select, connection, rows));
    return read_rows(*rows);
  });
  CloseIfOpen(rows);
  CloseIfOpen(connection);
  return read;
}

Status MemoStore::Execute(const std::string& statement, long* records_affected,
                          bool* answer_lost) const {
  if (records_affected) *records_affected = 0;
  if (answer_lost) *answer_lost = false;
  std::shared_ptr<db::Connection> connection;
  const Status executed = RunSteps([&]() -> Status {
    auto opened = OpenConnection();
    if (!opened.ok()) return opened.status();
    connection = std::move(opened).value();
    Status done = connection->Execute(statement, records_affected);
    // Asked before the connection goes: only it knows where it sends.
    if (!done.ok() && answer_lost) *answer_lost = connection->MayHaveBeenCarriedOut(done);
    return done;
  });
  CloseIfOpen(connection);
  return executed;
}

Status MemoStore::RunSteps(const std::function<Status()>& steps) {
  return base::CallWithoutThrowing("The database client failed", steps);
}

}  // namespace agendia::memo
