#pragma once

#include <string>
#include <string_view>

namespace agendia::db {

// The statement as SQLite reads it. Statements arrive in the host's SQL
// Server text; only what SQLite cannot read is changed, never the meaning:
//   the database qualifier "VXSystem.." (any letter case) before a table
//   name is removed, since the SQLite file is that database.
// String literals ('...' with '' for an apostrophe), quoted names ("..." and
// [...]) and comments (-- and /* */) are copied exactly, so a memo titled
// "VXSystem..x" stays so. Everything else SQLite already reads as SQL Server
// does ([Year] for example); NewID() is a function each SQLite session adds.
std::string AdaptForSqlite(std::string_view statement);

}  // namespace agendia::db
