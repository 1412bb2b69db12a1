#include "db/sqlserver_literals.h"

#include "base/date_text.h"

#include <vector>

namespace agendia::db {

namespace {

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// One past the closing quote of the quoted text at `at`; a doubled closing
// quote stands for itself. Unclosed: npos.
size_t EndOfQuoted(std::string_view text, size_t at, char closing) {
  for (size_t from = at + 1;;) {
    const size_t found = text.find(closing, from);
    if (found == std::string_view::npos) return std::string_view::npos;
    if (found + 1 < text.size() && text[found + 1] == closing) {
      from = found + 2;
      continue;
    }
    return found + 1;
  }
}

// One past the comment at `at` (T-SQL block comments nest), or `at`.
size_t EndOfComment(std::string_view text, size_t at) {
  if (text.compare(at, 2, "--") == 0) {
    const size_t line_end = text.find_first_of("\r\n", at);
    return line_end == std::string_view::npos ? text.size() : line_end;
  }
  if (text.compare(at, 2, "/*") != 0) return at;
  int depth = 0;
  size_t i = at;
  while (i + 1 < text.size()) {
    if (text.compare(i, 2, "/*") == 0) {
      ++depth;
      i += 2;
    } else if (text.compare(i, 2, "*/") == 0) {
      i += 2;
      if (--depth == 0) return i;
    } else {
      ++i;
    }
  }
  return text.size();
}

bool IsSendDateTime(std::string_view body) {
  if (body.size() != 19) return false;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    const char expected = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : '9';
    if (expected == '9' ? (c < '0' || c > '9') : c != expected) return false;
  }
  return true;
}

// A name as a column: brackets and quotes removed, lower case.
std::string ColumnName(std::string_view token) {
  if (token.size() >= 2 && (token.front() == '[' || token.front() == '"')) {
    token = token.substr(1, token.size() - 2);
  }
  return base::LowerCase(token);
}

// The literal's body (between its quotes, apostrophes still doubled) written
// for `column`, with its quotes and prefix.
std::string WriteLiteral(std::string_view body, bool was_unicode, const std::string& column) {
  std::string prefix = "N";
  std::string text(body);
  if (column == "cmsgid") {
    prefix = was_unicode ? "N" : "";
  } else if (column == "dsend" && !was_unicode && IsSendDateTime(body)) {
    prefix = "";
    text[10] = 'T';
  }
  std::string out = prefix + "'";
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == '\r')) {
      out += "' + " + prefix + "'";
    }
  }
  out += "'";
  return out;
}

}  // namespace

std::string WriteLiteralsForSqlServer(std::string_view statement) {
  std::string out;
  out.reserve(statement.size() + statement.size() / 8 + 16);

  // What the tokens so far say about the column of the next literal.
  std::string last_name;          // the last name, as a column
  bool after_name = false;        // the last significant token was a name
  std::string column;             // the column of a literal here, "" when unknown
  // insert into T (columns) values (...): the list, and where we are in it.
  enum class Insert { kNone, kInto, kTable, kColumns, kAfterColumns, kValues };
  Insert insert = Insert::kNone;
  std::vector<std::string> insert_columns;
  int depth = 0, values_depth = -1;
  size_t value_index = 0;
  std::string previous_word;

  size_t i = 0;
  while (i < statement.size()) {
    const char c = statement[i];
    if (IsSpace(c)) {
      out += c;
      ++i;
      continue;
    }
    if (const size_t end = EndOfComment(statement, i); end != i) {
      out.append(statement.substr(i, end - i));
      i = end;
      continue;
    }
    const bool unicode_literal = (c == 'N' || c == 'n') && i + 1 < statement.size() &&
                                 statement[i + 1] == '\'' &&
                                 (i == 0 || !IsNameCharacter(statement[i - 1]));
    if (c == '\'' || unicode_literal) {
      const size_t open = unicode_literal ? i + 1 : i;
      const size_t end = EndOfQuoted(statement, open, '\'');
      if (end == std::string_view::npos) {
        // Unclosed: left as it is for the server to report.
        out.append(statement.substr(i));
        break;
      }
      std::string literal_column = column;
      if (insert == Insert::kValues && depth >= values_depth && value_index < insert_columns.size()) {
        literal_column = insert_columns[value_index];
      }
      std::string literal = WriteLiteral(statement.substr(open + 1, end - open - 2),
                                         unicode_literal, literal_column);
      // select'a' is a select of 'a'; selectN'a' would be a name.
      if (literal.front() == 'N' && !out.empty() && IsNameCharacter(out.back())) out += ' ';
      out += literal;
      i = end;
      after_name = false;
      continue;
    }
    if (c == '[' || c == '"' || IsNameCharacter(c)) {
      size_t end = i;
      if (c == '[' || c == '"') {
        end = EndOfQuoted(statement, i, c == '[' ? ']' : '"');
        if (end == std::string_view::npos) end = statement.size();
      } else {
        while (end < statement.size() && IsNameCharacter(statement[end])) ++end;
      }
      const std::string_view token = statement.substr(i, end - i);
      out.append(token);
      i = end;
      last_name = ColumnName(token);
      after_name = true;
      column.clear();
      const std::string word = last_name;
      if (insert == Insert::kNone && previous_word == "insert" && word == "into") {
        insert = Insert::kInto;
      } else if (insert == Insert::kInto) {
        insert = Insert::kTable;
      } else if (insert == Insert::kColumns) {
        insert_columns.push_back(word);
      } else if (insert == Insert::kAfterColumns && word == "values") {
        insert = Insert::kValues;
        values_depth = -1;
      }
      previous_word = word;
      continue;
    }
    // Anything else is one character of punctuation.
    out += c;
    ++i;
    switch (c) {
      case '=':
        column = after_name ? last_name : std::string();
        break;
      case '(':
        ++depth;
        if (insert == Insert::kTable) insert = Insert::kColumns;
        if (insert == Insert::kValues && values_depth < 0) {
          values_depth = depth;
          value_index = 0;
        }
        column.clear();
        break;
      case ')':
        if (insert == Insert::kColumns) insert = Insert::kAfterColumns;
        if (insert == Insert::kValues && depth == values_depth) insert = Insert::kNone;
        --depth;
        column.clear();
        break;
      case ',':
        if (insert == Insert::kValues && depth == values_depth) ++value_index;
        column.clear();
        break;
      case '.':
        // A qualified name: the column is its last part, kept in last_name.
        if (insert == Insert::kColumns && !insert_columns.empty()) insert_columns.pop_back();
        break;
      case '+':
        break;  // a continued value keeps its column
      default:
        column.clear();
        break;
    }
    if (c != '.') after_name = false;
    if (c != '.') previous_word.clear();
  }
  return out;
}

}  // namespace agendia::db
