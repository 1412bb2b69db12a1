// The literals written for SQL Server, on any text, judged by reading both
// texts as SQL Server reads them, with a reader of its own here. The input is
// read as the component means it (a backslash is a backslash wherever it
// stands); the output as SQL Server reads it (a backslash right before a line
// break drops both). In both, every run of literals joined by '+' is one
// value. Then the two must hold the same tokens: names, numbers, operators,
// quoted names and comments byte for byte, and the same values in the same
// places, but for dSend's "yyyy-mm-dd hh:mm:ss", which may come out with a
// "T" for its space. No name may have grown an N.

#include "db/sqlserver_literals.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Token {
  enum Kind { kValue, kOther } kind;
  std::string text;  // kValue: the value; kOther: the token as written
};

bool IsNamePart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '@' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

[[noreturn]] void Fail(const char* what, std::string_view input, std::string_view output) {
  std::fprintf(stderr, "%s\ninput:  %.*s\noutput: %.*s\n", what, int(input.size()), input.data(),
               int(output.size()), output.data());
  std::abort();
}

// The tokens of `text`; `continuation`: a backslash before CR or LF inside a
// literal drops both (and the LF of a CR LF). Nothing when a literal, quoted
// name or comment is not closed: such text is left alone by the writer.
bool Read(std::string_view text, bool continuation, std::vector<Token>& tokens) {
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      ++i;
    } else if (text.substr(i, 2) == "--") {
      size_t end = text.find_first_of("\r\n", i);
      if (end == std::string_view::npos) end = text.size();
      tokens.push_back({Token::kOther, std::string(text.substr(i, end - i))});
      i = end;
    } else if (text.substr(i, 2) == "/*") {
      size_t j = i;
      int depth = 0;
      do {
        if (j + 1 >= text.size()) return false;
        if (text.substr(j, 2) == "/*") {
          ++depth;
          j += 2;
        } else if (text.substr(j, 2) == "*/") {
          --depth;
          j += 2;
        } else {
          ++j;
        }
      } while (depth > 0);
      tokens.push_back({Token::kOther, std::string(text.substr(i, j - i))});
      i = j;
    } else if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < text.size() && text[i + 1] == '\'' &&
                             (i == 0 || !IsNamePart(text[i - 1])))) {
      size_t j = text.find('\'', i) + 1;
      std::string value;
      for (;;) {
        if (j >= text.size()) return false;
        if (text[j] == '\'') {
          if (j + 1 < text.size() && text[j + 1] == '\'') {
            value += '\'';
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        if (continuation && text[j] == '\\' && j + 1 < text.size() &&
            (text[j + 1] == '\n' || text[j + 1] == '\r')) {
          j += (text[j + 1] == '\r' && j + 2 < text.size() && text[j + 2] == '\n') ? 3 : 2;
          continue;
        }
        value += text[j++];
      }
      tokens.push_back({Token::kValue, value});
      i = j;
    } else if (c == '[' || c == '"') {
      const char close = c == '[' ? ']' : '"';
      size_t j = i + 1;
      for (;;) {
        if (j >= text.size()) return false;
        if (text[j] == close) {
          if (j + 1 < text.size() && text[j + 1] == close) {
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        ++j;
      }
      tokens.push_back({Token::kOther, std::string(text.substr(i, j - i))});
      i = j;
    } else if (IsNamePart(c)) {
      size_t j = i;
      while (j < text.size() && IsNamePart(text[j])) ++j;
      tokens.push_back({Token::kOther, std::string(text.substr(i, j - i))});
      i = j;
    } else {
      tokens.push_back({Token::kOther, std::string(1, c)});
      ++i;
    }
  }
  // Values joined by '+' are one value.
  std::vector<Token> joined;
  for (size_t k = 0; k < tokens.size(); ++k) {
    if (tokens[k].kind == Token::kValue && !joined.empty() && joined.back().kind == Token::kOther &&
        joined.back().text == "+" && joined.size() >= 2 &&
        joined[joined.size() - 2].kind == Token::kValue) {
      joined.pop_back();
      joined.back().text += tokens[k].text;
      continue;
    }
    joined.push_back(tokens[k]);
  }
  tokens = std::move(joined);
  return true;
}

bool IsSendDateTime(std::string_view value) {
  if (value.size() != 19) return false;
  for (size_t i = 0; i < 19; ++i) {
    const bool digit = value[i] >= '0' && value[i] <= '9';
    const char mark = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : 0;
    if (mark ? value[i] != mark : !digit) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string output = agendia::db::WriteLiteralsForSqlServer(input);

  std::vector<Token> meant, read;
  if (!Read(input, /*continuation=*/false, meant)) {
    // Unclosed text: what follows it is left as it is.
    return 0;
  }
  if (!Read(output, /*continuation=*/true, read)) Fail("the output does not read", input, output);

  // An N joined to a name before it would read as part of that name, and the
  // names would differ.
  if (meant.size() != read.size()) Fail("the tokens differ in number", input, output);
  for (size_t k = 0; k < meant.size(); ++k) {
    const Token& a = meant[k];
    const Token& b = read[k];
    if (a.kind != b.kind) Fail("a token changed its kind", input, output);
    if (a.text == b.text) continue;
    if (a.kind == Token::kValue && IsSendDateTime(a.text) && b.text.size() == 19 &&
        b.text.substr(0, 10) == a.text.substr(0, 10) && b.text[10] == 'T' &&
        b.text.substr(11) == a.text.substr(11)) {
      continue;
    }
    Fail(a.kind == Token::kValue ? "a value changed" : "a token changed", input, output);
  }
  return 0;
}
