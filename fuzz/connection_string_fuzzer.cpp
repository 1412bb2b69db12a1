// The connection-string reader, on any text: it never fails other than by a
// status, a value it reads back is found under its key, and a refusal names
// at most a key of the text, never a value or any other part of it (a value
// may be a password): every description is one of the fixed sentences, with a
// key that the text has before an '='. Once a sentence speaks of "a part
// after" a key, that key is a password's, whose bare value may have run on.

#include "db/connection_string.h"

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

// True when `key` stands in `text` right before an '=' (blanks between).
bool IsKeyOf(const std::string& text, const std::string& key) {
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
    size_t after = at + key.size();
    while (after < text.size() && (text[after] == ' ' || text[after] == '\t')) ++after;
    if (after < text.size() && text[after] == '=') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto parsed = agendia::db::ConnectionString::Parse(text);
  if (parsed.ok()) {
    (void)parsed->Find("Provider");
    (void)parsed->Find("Data Source");
    (void)parsed->Find("Busy Timeout");
    return 0;
  }
  static const std::regex kSentences(
      "Invalid connection string: (it is empty|it holds a NUL character|a part has no key before "
      "'='|its first part has no '='|the part after '([\\s\\S]*)' has no '='|a part after "
      "'([\\s\\S]*)' has no '=' \\(a password that holds ';' must be quoted\\)|the value of "
      "(?:'([\\s\\S]*)'|a part after '([\\s\\S]*)') has (no closing quote|text after its closing "
      "quote))");
  std::smatch match;
  const std::string description = parsed.status().description();
  if (!std::regex_match(description, match, kSentences)) std::abort();
  for (int group : {2, 3, 4, 5}) {
    if (match[group].matched && !IsKeyOf(text, match[group].str())) std::abort();
  }
  for (int group : {3, 5}) {
    if (!match[group].matched) continue;
    std::string key = match[group].str();
    for (char& c : key) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (key != "password" && key != "pwd") std::abort();
  }
  return 0;
}
