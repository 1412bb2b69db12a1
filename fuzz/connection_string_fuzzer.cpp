// The connection-string reader, on any text: it never fails other than by a
// status, a value it reads back is found under its key, and a refusal never
// repeats a value of the string (a value may be a password).

#include "db/connection_string.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto parsed = agendia::db::ConnectionString::Parse(text);
  if (parsed.ok()) {
    (void)parsed->Find("Provider");
    (void)parsed->Find("Data Source");
    (void)parsed->Find("Busy Timeout");
    return 0;
  }
  // A value: the text after the last '=' up to the next ';'. Any such text of
  // four or more bytes must not show in the description.
  const size_t equals = text.rfind('=');
  if (equals == std::string::npos) return 0;
  std::string value = text.substr(equals + 1, text.find(';', equals) - equals - 1);
  const size_t first = value.find_first_not_of(" \t\"'{}");
  const size_t last = value.find_last_not_of(" \t\"'{}");
  if (first == std::string::npos) return 0;
  value = value.substr(first, last - first + 1);
  if (value.size() >= 4 && parsed.status().description().find(value) != std::string::npos) std::abort();
  return 0;
}
