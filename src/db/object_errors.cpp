#include "db/object_errors.h"

#include "db/database.h"

#include <string>

namespace agendia::db {

Status RefuseNulCharacter(std::string_view statement) {
  if (statement.find('\0') == std::string_view::npos) return Status::Ok();
  return Status::Error(err::kErrorsInCommand,
                       "A text holds a NUL character (code 0), which cannot be stored; remove it");
}

Status ObjectClosedError() {
  return Status::Error(err::kObjectClosed, "Operation is not allowed when the object is closed.");
}

Status ObjectOpenError() {
  return Status::Error(err::kObjectOpen, "Operation is not allowed when the object is open.");
}

Status ConnectionInvalidError() {
  return Status::Error(err::kConnectionInvalid,
                       "The connection cannot be used to perform this operation. It is either "
                       "closed or invalid in this context.");
}

Status NoCurrentRecordError() {
  return Status::Error(err::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.");
}

Status ItemNotFoundError(std::string_view name) {
  return Status::Error(err::kItemNotFound,
                       "Item cannot be found in the collection corresponding to the requested "
                       "name or ordinal: '" + std::string(name) + "'");
}

Status ProviderNotFoundError(std::string_view asked) {
  return Status::Error(err::kProviderNotFound,
                       "Provider cannot be found. It may not be properly installed. (" +
                           std::string(asked) + ")");
}

Status NegativeTimeoutError(std::string_view which, long seconds) {
  return Status::Error(err::kUnspecified, std::string(which) + " cannot be negative: " +
                                              std::to_string(seconds));
}


// A server's time-out may strike after the statement was done, and a broken
// connection (err::kUnspecified, as the host's client reports it) says
// nothing of what the server did before it broke.
bool AnswerMayBeLost(const Status& failure) {
  return failure.code() == err::kTimeout || failure.code() == err::kUnspecified;
}

}  // namespace agendia::db
