#pragma once

#include <agendia/status.h>

#include <string_view>

namespace agendia::db {

// The failures of the Connection and Recordset objects themselves, with the
// codes and texts of the host's client, so every object reports them alike.

// err::kObjectClosed: an operation that needs an open object.
Status ObjectClosedError();
// Fails when `statement` holds a NUL character: no backend reads past one
// the same way (SQLite stops there, others refuse or cut), so no value with
// one is stored anywhere.
Status RefuseNulCharacter(std::string_view statement);
// err::kObjectOpen: an operation that needs a closed object.
Status ObjectOpenError();
// err::kConnectionInvalid: a recordset without an open connection of this client.
Status ConnectionInvalidError();
// err::kNoCurrentRecord: reading or moving at the end.
Status NoCurrentRecordError();
// err::kItemNotFound: no column called `name`.
Status ItemNotFoundError(std::string_view name);
// err::kProviderNotFound: no backend for what the connection string asks;
// `asked` names it, e.g. "SQLOLEDB".
Status ProviderNotFoundError(std::string_view asked);
// err::kUnspecified: a negative time limit.
Status NegativeTimeoutError(std::string_view which, long seconds);

}  // namespace agendia::db
