// The rewrite of SQL Server text for SQLite, on any text: read by SQLite's
// tokenizer, the result is the statement's own tokens in the same order with
// only the database qualifiers taken out (and at most a space put where two
// tokens would otherwise run together): every string literal, quoted name,
// comment and variable comes out byte for byte, and no two tokens join.

#include "db/sqlite/sqlite_dialect.h"
#include "db/sqlite/sqlite_tokens.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using agendia::db::Token;
using agendia::db::TokenKind;

namespace {

bool IsQualifierName(std::string_view text) {
  if (text.size() != 8) return false;
  const char* lower = "vxsystem";
  for (size_t i = 0; i < 8; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

// The tokens that matter for meaning: spaces dropped, qualifiers taken out.
std::vector<Token> Meaningful(std::string_view text, bool drop_qualifiers) {
  std::vector<Token> all = agendia::db::SqliteTokens(text);
  std::vector<Token> kept;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].kind == TokenKind::kSpace) continue;
    if (drop_qualifiers && all[i].kind == TokenKind::kName && IsQualifierName(all[i].text) &&
        i + 2 < all.size() && all[i + 1].kind == TokenKind::kDot && all[i + 2].kind == TokenKind::kDot) {
      i += 2;
      continue;
    }
    kept.push_back(all[i]);
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);  // SQLite reads no further
  const std::string adapted = agendia::db::AdaptForSqlite(text);
  const std::vector<Token> expected = Meaningful(text, true);
  const std::vector<Token> got = Meaningful(adapted, false);
  if (expected.size() != got.size()) std::abort();
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i].kind != got[i].kind || expected[i].text != got[i].text) std::abort();
  }
  // Without a qualifier in it, the text is left exactly as it was.
  if (Meaningful(text, false).size() == expected.size() && adapted != text) std::abort();
  return 0;
}
