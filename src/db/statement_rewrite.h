#pragma once

#include <agendia/status.h>

#include <string>
#include <string_view>

namespace agendia::db {

// What a backend changes in the host's SQL Server statement text so that its
// database reads it with the same meaning. Only text outside string literals
// ('...' with '' for an apostrophe), quoted names ("..." and [...] unless
// asked otherwise) and comments (-- and /* */, read as the database reads
// them) is changed, so a memo titled "VXSystem..x" or "NewID()" keeps its
// title. Where a change would let the text on its two sides run together
// into other tokens ("-VXSystem..-" into a comment opener, "NewID()'x'" into
// one literal, "[E]'x'" into an escape string), a space is put between them.
struct StatementRewrite {
  // "VXSystem.." (any letter case) before a table name is removed: the
  // connection already is in that database.
  bool drop_database_qualifier = false;
  // [name] becomes name when it is a plain name (letters, digits, '_'), else
  // "name": [Year] reads as the column Year where brackets mean nothing.
  bool unbracket_names = false;
  // NewID() (any letter case, spaces allowed inside the parentheses) becomes
  // a string literal holding a new identifier (see NewIdText), a new one for
  // each call, for databases without such a function.
  bool new_id_as_literal = false;
  // Comments as PostgreSQL (and SQL Server) reads them: block comments nest,
  // and a -- comment ends at a carriage return as well as at a line feed.
  // Otherwise as SQLite reads them: a block comment ends at the first */, a
  // -- comment at a line feed.
  bool nested_comments = false;
  // A UTF-8 byte-order mark where a token starts is a space, as SQLite reads
  // it, so a qualifier right after one is a qualifier; elsewhere (and inside
  // a name) it is a character of a name.
  bool bom_is_space = false;
};

// The statement rewritten as `rewrite` asks. Fails with err::kUnspecified
// only when a new identifier is needed and the system's random source fails.
StatusOr<std::string> RewriteStatement(std::string_view statement, const StatementRewrite& rewrite);

}  // namespace agendia::db
