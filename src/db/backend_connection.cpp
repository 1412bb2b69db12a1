#include "db/backend_connection.h"

#include "base/no_throw.h"
#include "db/connection_string.h"
#include "db/object_errors.h"
#include "db/provider_choice.h"

#include <utility>

namespace agendia::db {

Status BackendConnection::SetCommandTimeout(long seconds) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (seconds < 0) return NegativeTimeoutError("CommandTimeout", seconds);
    limits_.command_timeout_seconds = seconds;
    if (session_) session_->SetCommandTimeout(seconds);
    return Status::Ok();
  });
}

Status BackendConnection::SetConnectionTimeout(long seconds) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (session_) return ObjectOpenError();
    if (seconds < 0) return NegativeTimeoutError("ConnectionTimeout", seconds);
    limits_.connection_timeout_seconds = seconds;
    return Status::Ok();
  });
}

Status BackendConnection::Open(const std::string& connection_string) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (session_) return ObjectOpenError();
    StatusOr<ConnectionString> settings = ConnectionString::Parse(connection_string);
    if (!settings.ok()) return settings.status();
    StatusOr<const Backend*> backend = ChooseBackend(*settings);
    if (!backend.ok()) return backend.status();
    StatusOr<std::unique_ptr<Session>> session = (*backend)->Open(*settings, limits_);
    if (!session.ok()) return session.status();
    session_ = std::move(*session);
    in_process_ = session_->InProcess();
    return Status::Ok();
  });
}

Status BackendConnection::Execute(const std::string& statement, long* records_affected) {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (records_affected) *records_affected = 0;
    if (!session_) return ObjectClosedError();
    AGENDIA_RETURN_IF_ERROR(RefuseNulCharacter(statement));
    AGENDIA_RETURN_IF_ERROR(session_->Execute(statement));
    if (records_affected) *records_affected = session_->RowsAffected();
    return Status::Ok();
  });
}

bool BackendConnection::MayHaveBeenCarriedOut(const Status& failure) const {
  return !in_process_ && AnswerMayBeLost(failure);
}

int BackendConnection::State() const { return session_ ? kStateOpen : kStateClosed; }

Status BackendConnection::Close() {
  return base::CallWithoutThrowing<Status>({}, [&]() -> Status {
    if (!session_) return ObjectClosedError();
    session_->Close();
    session_.reset();
    return Status::Ok();
  });
}

}  // namespace agendia::db
