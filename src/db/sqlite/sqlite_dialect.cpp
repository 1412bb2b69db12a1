#include "db/sqlite/sqlite_dialect.h"

namespace agendia::db {

namespace {

constexpr std::string_view kDatabaseQualifier = "vxsystem..";

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

bool StartsWithIgnoringCase(std::string_view text, size_t at, std::string_view lower_prefix) {
  if (text.size() - at < lower_prefix.size()) return false;
  for (size_t i = 0; i < lower_prefix.size(); ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != lower_prefix[i]) return false;
  }
  return true;
}

// The end (one past the closing quote) of the quoted text that starts at
// `at`; a doubled closing quote stands for itself. An unclosed quote runs to
// the end, where SQLite reports it.
size_t EndOfQuoted(std::string_view text, size_t at) {
  const char closing = text[at] == '[' ? ']' : text[at];
  size_t from = at + 1;
  for (;;) {
    const size_t found = text.find(closing, from);
    if (found == std::string_view::npos) return text.size();
    if (found + 1 < text.size() && text[found + 1] == closing) {
      from = found + 2;
      continue;
    }
    return found + 1;
  }
}

// The end of the comment that starts at `at`, or `at` when none does.
size_t EndOfComment(std::string_view text, size_t at) {
  if (text.compare(at, 2, "--") == 0) {
    const size_t line_end = text.find('\n', at);
    return line_end == std::string_view::npos ? text.size() : line_end;
  }
  if (text.compare(at, 2, "/*") == 0) {
    const size_t close = text.find("*/", at + 2);
    return close == std::string_view::npos ? text.size() : close + 2;
  }
  return at;
}

}  // namespace

std::string AdaptForSqlite(std::string_view statement) {
  std::string adapted;
  adapted.reserve(statement.size());
  size_t at = 0;
  while (at < statement.size()) {
    const char c = statement[at];
    if (c == '\'' || c == '"' || c == '[') {
      const size_t end = EndOfQuoted(statement, at);
      adapted.append(statement, at, end - at);
      at = end;
      continue;
    }
    if (const size_t end = EndOfComment(statement, at); end != at) {
      adapted.append(statement, at, end - at);
      at = end;
      continue;
    }
    if ((at == 0 || !IsNameCharacter(statement[at - 1])) &&
        StartsWithIgnoringCase(statement, at, kDatabaseQualifier)) {
      at += kDatabaseQualifier.size();
      continue;
    }
    adapted.push_back(c);
    ++at;
  }
  return adapted;
}

}  // namespace agendia::db
