#pragma once

#include "db/database.h"

#include <memory>

namespace agendia::db {

// The client with every backend this build has. The backend of a connection
// is chosen from its connection string when it opens:
//   "Provider=SQLite;Data Source=/path/VXSystem.db"  the embedded SQLite file
//   "/path/VXSystem.db"                              the same, as a bare path
// Any other provider fails to open with err::kProviderNotFound.
std::shared_ptr<Client> MakeDefaultClient();

}  // namespace agendia::db
