#include "db/sqlite/sqlite_dialect.h"

#include "db/sqlite/sqlite_tokens.h"

#include <vector>

namespace agendia::db {

namespace {

bool IsDatabaseName(const Token& token) {
  constexpr std::string_view kDatabase = "vxsystem";
  if (token.kind != TokenKind::kName || token.text.size() != kDatabase.size()) return false;
  for (size_t i = 0; i < kDatabase.size(); ++i) {
    char c = token.text[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kDatabase[i]) return false;
  }
  return true;
}

}  // namespace

// Works on SQLite's own tokens, so a qualifier is recognised exactly where
// SQLite would read one (never inside a literal, quoted name, comment or
// variable, whatever their quoting), and the text around a removed qualifier
// is checked to read as the same tokens afterwards.
std::string AdaptForSqlite(std::string_view statement) {
  const std::vector<Token> tokens = SqliteTokens(statement);
  std::string adapted;
  adapted.reserve(statement.size());
  std::string_view last;  // the token written last
  bool removed = false;   // a qualifier was removed right before the next token
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (IsDatabaseName(tokens[i]) && i + 2 < tokens.size() && tokens[i + 1].kind == TokenKind::kDot &&
        tokens[i + 2].kind == TokenKind::kDot) {
      i += 2;
      removed = true;
      continue;
    }
    // Taking the qualifier out must not make its neighbours run together
    // ("-VXSystem..-" would become a comment opener).
    // The rest of the statement counts, not only the next token: "/" before
    // "*" is a comment opener only when more text follows.
    if (removed && TokensWouldJoin(last, statement.substr(static_cast<size_t>(
                                             tokens[i].text.data() - statement.data())))) {
      adapted.push_back(' ');
    }
    removed = false;
    adapted.append(tokens[i].text);
    last = tokens[i].text;
  }
  // SQLite reads no further than a NUL; what follows is kept for it to see.
  if (const size_t nul = statement.find('\0'); nul != std::string_view::npos) {
    adapted.append(statement.substr(nul));
  }
  return adapted;
}

}  // namespace agendia::db
