#include "db/sqlite/sqlite_tokens.h"

#include <string>

namespace agendia::db {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// The characters SQLite lets a name go on with.
bool IsIdChar(char c) {
  return IsAlpha(c) || IsDigit(c) || c == '_' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}
char At(std::string_view s, size_t i) { return i < s.size() ? s[i] : '\0'; }

// The length and kind of the token at the start of `z` (not empty, no NUL
// first), following sqlite3GetToken.
Token Next(std::string_view z) {
  const char c0 = z[0];
  auto token = [&](TokenKind kind, size_t length) { return Token{kind, z.substr(0, length)}; };
  size_t i = 0;
  if (IsSpace(c0)) {
    for (i = 1; IsSpace(At(z, i)); ++i) {}
    return token(TokenKind::kSpace, i);
  }
  // A UTF-8 byte-order mark where a token starts is space to SQLite, one
  // mark at a time; inside a name it is part of the name.
  if (c0 == '\xEF' && At(z, 1) == '\xBB' && At(z, 2) == '\xBF') return token(TokenKind::kSpace, 3);
  switch (c0) {
    case '-':
      if (At(z, 1) == '-') {
        for (i = 2; At(z, i) != '\0' && At(z, i) != '\n'; ++i) {}
        return token(TokenKind::kComment, i);
      }
      if (At(z, 1) == '>') return token(TokenKind::kOperator, At(z, 2) == '>' ? 3 : 2);
      return token(TokenKind::kOperator, 1);
    case '/':
      if (At(z, 1) != '*' || At(z, 2) == '\0') return token(TokenKind::kOperator, 1);
      {
        char c = At(z, 2);
        for (i = 3; (c != '*' || At(z, i) != '/') && (c = At(z, i)) != '\0'; ++i) {}
        if (c != '\0') ++i;
        return token(TokenKind::kComment, i);
      }
    case '(': case ')': case ';': case '+': case '*': case '%': case ',': case '&': case '~':
      return token(TokenKind::kOperator, 1);
    case '=':
      return token(TokenKind::kOperator, At(z, 1) == '=' ? 2 : 1);
    case '<':
      return token(TokenKind::kOperator, (At(z, 1) == '=' || At(z, 1) == '>' || At(z, 1) == '<') ? 2 : 1);
    case '>':
      return token(TokenKind::kOperator, (At(z, 1) == '=' || At(z, 1) == '>') ? 2 : 1);
    case '!':
      return At(z, 1) == '=' ? token(TokenKind::kOperator, 2) : token(TokenKind::kIllegal, 1);
    case '|':
      return token(TokenKind::kOperator, At(z, 1) == '|' ? 2 : 1);
    case '\'': case '"': case '`': {
      char c = 0;
      for (i = 1; (c = At(z, i)) != '\0'; ++i) {
        if (c == c0) {
          if (At(z, i + 1) == c0) {
            ++i;
          } else {
            break;
          }
        }
      }
      if (c == '\0') return token(TokenKind::kIllegal, i);
      return token(c0 == '\'' ? TokenKind::kString : TokenKind::kQuotedName, i + 1);
    }
    case '[': {
      char c = c0;
      for (i = 1; c != ']' && (c = At(z, i)) != '\0'; ++i) {}
      return token(c == ']' ? TokenKind::kQuotedName : TokenKind::kIllegal, i);
    }
    case '?':
      for (i = 1; IsDigit(At(z, i)); ++i) {}
      return token(TokenKind::kVariable, i);
    case '$': case '@': case ':': case '#': {
      int n = 0;
      char c = 0;
      for (i = 1; (c = At(z, i)) != '\0'; ++i) {
        if (IsIdChar(c)) {
          ++n;
        } else if (c == '(' && n > 0) {
          do {
            ++i;
          } while ((c = At(z, i)) != '\0' && !IsSpace(c) && c != ')');
          if (c == ')') {
            ++i;
          } else {
            return token(TokenKind::kIllegal, i);
          }
          break;
        } else if (c == ':' && At(z, i + 1) == ':') {
          ++i;
        } else {
          break;
        }
      }
      return token(n == 0 ? TokenKind::kIllegal : TokenKind::kVariable, i);
    }
    case '.':
      if (!IsDigit(At(z, 1))) return token(TokenKind::kDot, 1);
      break;  // a number such as .5
    case 'x': case 'X':
      if (At(z, 1) == '\'') {
        for (i = 2; IsHexDigit(At(z, i)); ++i) {}
        if (At(z, i) != '\'' || i % 2 != 0) {
          while (At(z, i) != '\0' && At(z, i) != '\'') ++i;
          if (At(z, i) != '\0') ++i;
          return token(TokenKind::kIllegal, i);
        }
        return token(TokenKind::kNumber, i + 1);
      }
      break;
    default:
      break;
  }
  if (IsDigit(c0) || c0 == '.') {
    TokenKind kind = TokenKind::kNumber;
    if (c0 == '0' && (At(z, 1) == 'x' || At(z, 1) == 'X') && IsHexDigit(At(z, 2))) {
      for (i = 3; IsHexDigit(At(z, i)) || (At(z, i) == '_' && IsHexDigit(At(z, i + 1))); ++i) {}
    } else {
      for (i = 0; IsDigit(At(z, i)) || (At(z, i) == '_' && IsDigit(At(z, i + 1))); ++i) {}
      if (At(z, i) == '.') {
        for (++i; IsDigit(At(z, i)) || (At(z, i) == '_' && IsDigit(At(z, i + 1))); ++i) {}
      }
      if ((At(z, i) == 'e' || At(z, i) == 'E') &&
          (IsDigit(At(z, i + 1)) ||
           ((At(z, i + 1) == '+' || At(z, i + 1) == '-') && IsDigit(At(z, i + 2))))) {
        for (i += 2; IsDigit(At(z, i)) || (At(z, i) == '_' && IsDigit(At(z, i + 1))); ++i) {}
      }
    }
    while (IsIdChar(At(z, i))) {
      kind = TokenKind::kIllegal;
      ++i;
    }
    return token(kind, i);
  }
  if (IsIdChar(c0) && c0 != '$') {
    for (i = 1; IsIdChar(At(z, i)); ++i) {}
    return token(TokenKind::kName, i);
  }
  return token(TokenKind::kIllegal, 1);
}

}  // namespace

std::vector<Token> SqliteTokens(std::string_view statement) {
  const size_t nul = statement.find('\0');
  if (nul != std::string_view::npos) statement = statement.substr(0, nul);
  std::vector<Token> tokens;
  while (!statement.empty()) {
    Token token = Next(statement);
    tokens.push_back(token);
    statement.remove_prefix(token.text.size());
  }
  return tokens;
}

bool TokensWouldJoin(std::string_view left, std::string_view right) {
  if (left.empty() || right.empty()) return false;
  std::string joined;
  joined.reserve(left.size() + right.size());
  joined.append(left).append(right);
  const std::vector<Token> tokens = SqliteTokens(joined);
  return tokens.empty() || tokens.front().text.size() != left.size();
}

}  // namespace agendia::db
