#pragma once

#include <string_view>
#include <vector>

namespace agendia::db {

// The tokens SQLite reads a statement as, by the rules of its own tokenizer
// (tokenize.c), as far as they decide where one token ends and the next
// begins. Keywords are not told from names: both are kName.
enum class TokenKind {
  kSpace,      // spaces, tabs, line ends, form feeds
  kComment,    // -- to the end of the line, or /* to */ (or the end)
  kString,     // '...' with '' for an apostrophe
  kQuotedName, // "...", `...` or [...]
  kName,       // a name or keyword: letters, digits, '_', '$' and bytes >= 0x80, not starting with a digit or '$'
  kVariable,   // ?NNN, or $ @ : # followed by a name, with an optional (...) or :: part
  kNumber,     // digits, a decimal point, an exponent, 0x hex; and the blob literal x'..'
  kDot,        // .
  kOperator,   // every other punctuation, one to three characters (<=, ||, ->>)
  kIllegal,    // what SQLite rejects: an unclosed quote, a lone '$', a number running into a name ...
};

struct Token {
  TokenKind kind;
  std::string_view text;  // a view into the statement
};

// Splits `statement` into its tokens, covering every byte up to the first NUL
// (where SQLite stops reading); the tokens joined give that prefix back.
std::vector<Token> SqliteTokens(std::string_view statement);

// True when the token `left` written directly before the text `right` would
// not end where it ends now (a name running into a name, '-' into '-', '/'
// into '*' ...). `right` is all the text that follows, as what a token reads
// as can depend on more than its first character.
bool TokensWouldJoin(std::string_view left, std::string_view right);

}  // namespace agendia::db
