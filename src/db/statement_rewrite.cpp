#include "db/statement_rewrite.h"

#include "db/database.h"
#include "db/new_id.h"

namespace agendia::db {

namespace {

constexpr std::string_view kDatabaseQualifier = "vxsystem..";
constexpr std::string_view kNewId = "newid";

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsPlainNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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
// the end, where the database reports it.
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

// The end of the comment that starts at `at`, or `at` when none does. An
// unclosed block comment runs to the end, where the database reports it.
size_t EndOfComment(std::string_view text, size_t at, bool nested) {
  if (text.compare(at, 2, "--") == 0) {
    const size_t line_end = text.find_first_of(nested ? std::string_view("\r\n", 2) : "\n", at);
    return line_end == std::string_view::npos ? text.size() : line_end;
  }
  if (text.compare(at, 2, "/*") != 0) return at;
  if (!nested) {
    const size_t close = text.find("*/", at + 2);
    return close == std::string_view::npos ? text.size() : close + 2;
  }
  size_t depth = 1;
  size_t pos = at + 2;
  while (pos + 1 < text.size()) {
    if (text[pos] == '/' && text[pos + 1] == '*') {
      ++depth;
      pos += 2;
    } else if (text[pos] == '*' && text[pos + 1] == '/') {
      pos += 2;
      if (--depth == 0) return pos;
    } else {
      ++pos;
    }
  }
  return text.size();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters that PostgreSQL and SQLite read together as one operator.
bool IsOperatorCharacter(char c) {
  return c != '\0' && std::string_view("+-*/<>=~!@#%^&|`?:").find(c) != std::string_view::npos;
}

// Whether `left` directly followed by `right` can be read as (part of) one
// token where a space between them would part them: a name or number going
// on, a prefixed literal (E'..', X'..', N'..', U&".."), a literal or quoted
// name with a doubled quote, an operator or comment opener, a number's point.
bool WouldJoin(char left, char right) {
  const bool right_quote = right == '\'' || right == '"';
  if (IsNameCharacter(left) && (IsNameCharacter(right) || right_quote)) return true;
  if (left == '&' && right_quote) return true;
  if (right_quote && left == right) return true;
  if (IsOperatorCharacter(left) && IsOperatorCharacter(right)) return true;
  if (left == ':' && IsNameCharacter(right)) return true;
  if (left == '.' && (right == '.' || IsDigit(right))) return true;
  return IsDigit(left) && right == '.';
}

// The end of "NewID ( )" starting at `at`, or `at` when the call is not there.
size_t EndOfNewIdCall(std::string_view text, size_t at) {
  if (!StartsWithIgnoringCase(text, at, kNewId)) return at;
  size_t pos = at + kNewId.size();
  if (pos < text.size() && IsNameCharacter(text[pos])) return at;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (pos >= text.size() || text[pos] != '(') return at;
  ++pos;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (pos >= text.size() || text[pos] != ')') return at;
  return pos + 1;
}

// A bracketed name as the database reads it without brackets.
void AppendUnbracketed(std::string_view quoted, std::string& out) {
  std::string name;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    name.push_back(quoted[i]);
    if (quoted[i] == ']') ++i;  // "]]" stands for one ']'
  }
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
  for (char c : name) plain = plain && IsPlainNameCharacter(c);
  if (plain) {
    out += name;
    return;
  }
  out.push_back('"');
  for (char c : name) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

StatusOr<std::string> RewriteStatement(std::string_view statement, const StatementRewrite& rewrite) {
  std::string adapted;
  adapted.reserve(statement.size() + 48);
  // Whether the end of `adapted` is where text was taken out or put in, so
  // that what comes next must not join what stands before it.
  bool after_change = false;
  // Where a byte-order mark read as space ends in `adapted`: nothing joins it.
  size_t space_mark_end = std::string::npos;
  const auto append = [&](std::string_view piece, bool changed) {
    if ((after_change || changed) && !adapted.empty() && !piece.empty() &&
        adapted.size() != space_mark_end && WouldJoin(adapted.back(), piece.front())) {
      adapted.push_back(' ');
    }
    adapted.append(piece);
    after_change = changed;
  };
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  size_t after_space_mark = std::string_view::npos;  // where a mark read as space ends
  size_t at = 0;
  while (at < statement.size()) {
    const char c = statement[at];
    const bool starts_name =
        at == 0 || !IsNameCharacter(statement[at - 1]) || at == after_space_mark;
    if (starts_name && rewrite.bom_is_space && statement.compare(at, 3, kByteOrderMark) == 0) {
      append(kByteOrderMark, false);
      space_mark_end = adapted.size();
      at += kByteOrderMark.size();
      after_space_mark = at;
      continue;
    }
    if (c == '\'' || c == '"' || c == '[') {
      const size_t end = EndOfQuoted(statement, at);
      const bool closed_bracket = c == '[' && statement[end - 1] == ']' && end - at >= 2;
      if (rewrite.unbracket_names && closed_bracket) {
        std::string name;
        AppendUnbracketed(statement.substr(at, end - at), name);
        append(name, true);
      } else {
        append(statement.substr(at, end - at), false);
      }
      at = end;
      continue;
    }
    if (const size_t end = EndOfComment(statement, at, rewrite.nested_comments); end != at) {
      append(statement.substr(at, end - at), false);
      at = end;
      continue;
    }
    if (starts_name && rewrite.drop_database_qualifier &&
        StartsWithIgnoringCase(statement, at, kDatabaseQualifier)) {
      at += kDatabaseQualifier.size();
      after_change = true;
      continue;
    }
    if (starts_name && rewrite.new_id_as_literal) {
      if (const size_t end = EndOfNewIdCall(statement, at); end != at) {
        const std::optional<std::string> id = NewIdText();
        if (!id) {
          return Status::Error(err::kUnspecified, "NewID: the system's random source failed");
        }
        append("'" + *id + "'", true);
        at = end;
        continue;
      }
    }
    append(statement.substr(at, 1), false);
    ++at;
  }
  return adapted;
}

}  // namespace agendia::db
