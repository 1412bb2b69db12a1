// The host's connection string as the ODBC driver manager gets it, on any
// text, judged by reading the result again. The mapped string is read back
// the way the driver manager reads one (key=value;..., a value in braces with
// '}}' for '}'), by a reader of its own here: every part must come back whole,
// the password exactly as the host gave it and listed among the secrets, and
// no key twice. A refusal (of the text or of its mapping) quotes only keys
// of the text, and after a password written without quotes, which may run
// on past a ';', nothing that follows it but the password's own key; nor
// does the choice of backend repeat a Provider given after such a password.
//
// The first byte chooses how the text is taken: as it is, or behind a
// SQL Server provider (Provider=SQLOLEDB;) or ODBC's (Provider=MSDASQL;).

#include "db/connection_string.h"
#include "db/odbc_target.h"
#include "db/provider_choice.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

[[noreturn]] void Fail(const char* what, const std::string& text, const std::string& detail) {
  std::fprintf(stderr, "%s\ninput: %s\ngot: %s\n", what, text.c_str(), detail.c_str());
  std::abort();
}

// An ODBC connection string read as the driver manager reads it; nothing
// when it is not one.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadOdbc(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> parts;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t equals = text.find('=', pos);
    if (equals == std::string_view::npos) return std::nullopt;
    std::string key(text.substr(pos, equals - pos));
    if (key.find(';') != std::string::npos || key.empty()) return std::nullopt;
    pos = equals + 1;
    std::string value;
    if (pos < text.size() && text[pos] == '{') {
      for (++pos;; ++pos) {
        if (pos >= text.size()) return std::nullopt;
        if (text[pos] == '}') {
          if (pos + 1 < text.size() && text[pos + 1] == '}') {
            value.push_back('}');
            ++pos;
            continue;
          }
          ++pos;
          break;
        }
        value.push_back(text[pos]);
      }
      if (pos < text.size() && text[pos] != ';') return std::nullopt;
    } else {
      const size_t end = std::min(text.find(';', pos), text.size());
      value = std::string(text.substr(pos, end - pos));
      pos = end;
    }
    parts.emplace_back(std::move(key), std::move(value));
    ++pos;  // the ';'
  }
  return parts;
}

// Where each part's key starts in the text, read independently of the code
// under test, and where the value of the first password written without
// quotes starts (npos: none).
struct KeyPlaces {
  std::vector<std::pair<std::string, size_t>> keys;  // as spelled, position
  size_t bare_password_value = std::string::npos;
  std::vector<std::string> bare_password_keys;  // every bare password's key, as spelled
};

KeyPlaces PlacesOf(std::string_view text) {
  KeyPlaces places;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t stop = text.find_first_of(";=", pos);
    if (stop == std::string_view::npos) break;
    if (text[stop] == ';') {
      pos = stop + 1;
      continue;
    }
    const std::string key = Trim(text.substr(pos, stop - pos));
    places.keys.emplace_back(key, pos);
    pos = stop + 1;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    const char open = pos < text.size() ? text[pos] : '\0';
    if (open == '"' || open == '\'' || open == '{') {
      const char close = open == '{' ? '}' : open;
      for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != close) continue;
        if (pos + 1 < text.size() && text[pos + 1] == close) {
          ++pos;
          continue;
        }
        break;
      }
      pos = text.find(';', pos);
      if (pos == std::string_view::npos) break;
      ++pos;
      continue;
    }
    const std::string lower = Lower(key);
    if (lower == "password" || lower == "pwd") {
      if (places.bare_password_value == std::string::npos) places.bare_password_value = pos;
      places.bare_password_keys.push_back(key);
    }
    pos = text.find(';', pos);
    if (pos == std::string_view::npos) break;
    ++pos;
  }
  return places;
}

// Every piece a description quotes between apostrophes must be a key of the
// text, standing before any bare password's value (or a bare password's key).
// Keys may hold apostrophes themselves, so the allowed pieces are taken out
// of the description, longest first, and no apostrophe may be left.
void CheckDescription(const std::string& text, const std::string& description) {
  const KeyPlaces places = PlacesOf(text);
  // The fixed sentences quote the characters they are about.
  std::vector<std::string> allowed = {"=", ";"};
  for (const std::string& key : places.bare_password_keys) allowed.push_back(key);
  for (const auto& [key, place] : places.keys) {
    if (place < places.bare_password_value) allowed.push_back(key);
  }
  std::sort(allowed.begin(), allowed.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  std::string rest = description;
  for (const std::string& piece : allowed) {
    const std::string quoted = "'" + piece + "'";
    for (size_t at = rest.find(quoted); at != std::string::npos; at = rest.find(quoted, at)) {
      rest.erase(at, quoted.size());
    }
  }
  if (rest.find('\'') != std::string::npos) {
    Fail("a description quotes what is no key before a bare password", text, description);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kPrefixes[] = {"", "Provider=SQLOLEDB;", "Provider=MSDASQL;"};
  const std::string text = std::string(kPrefixes[data[0] % 3]) +
                           std::string(reinterpret_cast<const char*>(data) + 1, size - 1);

  auto settings = agendia::db::ConnectionString::Parse(text);
  if (!settings.ok()) {
    CheckDescription(text, settings.status().description());
    return 0;
  }
  // A Provider that follows a bare password may be the password's text.
  const KeyPlaces places = PlacesOf(text);
  auto backend = agendia::db::ChooseBackend(*settings);
  if (!backend.ok()) {
    // It names the provider it cannot find, unless that may be password text.
    const agendia::db::ConnectionString::Part* provider_part = settings->FindPart("Provider");
    const std::string& value = provider_part ? provider_part->value : std::string();
    bool telling = false;  // a value no fixed sentence could hold
    for (size_t i = 1; i < value.size(); ++i) telling |= (value[i] >= 'A' && value[i] <= 'Z') || (value[i] >= '0' && value[i] <= '9');
    const std::string lower = Lower(value);
    const size_t provider_at = text.rfind(value);
    if (telling && value.size() >= 4 && lower.find("sql") == std::string::npos &&
        lower.find("odbc") == std::string::npos && provider_at != std::string::npos &&
        provider_at > places.bare_password_value &&
        text.substr(0, std::min(places.bare_password_value, text.size())).find(value) == std::string::npos &&
        backend.status().description().find(value) != std::string::npos) {
      Fail("the provider given after a bare password is repeated", text, backend.status().description());
    }
  }
  auto target = agendia::db::MapToOdbc(*settings, 0, {"FreeTDS", "ODBC Driver 18 for SQL Server"});
  if (!target.ok()) {
    CheckDescription(text, target.status().description());
    return 0;
  }
  const auto parts = ReadOdbc(target->connection_string);
  if (!parts) Fail("the driver manager cannot read the mapped string", text, target->connection_string);
  const std::string* provider = settings->Find("Provider");
  const bool sql_server = provider && agendia::db::IsSqlServerProvider(*provider);
  if (sql_server) {
    // A SQL Server string is written by the mapping: each key once.
    std::map<std::string, int> seen;
    for (const auto& part : *parts) {
      if (++seen[Lower(part.first)] > 1) Fail("a key comes twice", text, target->connection_string);
    }
  }
  // The password as the host gave it, read back whole, and kept secret.
  const std::string* password = settings->Find("Password");
  if (!password && !sql_server) password = settings->Find("PWD");
  const std::string* integrated = settings->Find("Integrated Security");
  const std::string security = integrated ? Lower(Trim(*integrated)) : std::string();
  const bool trusted = sql_server && (security == "sspi" || security == "true" || security == "yes");
  if (password && !trusted) {
    bool read_back = false;
    for (const auto& [key, value] : *parts) read_back |= Lower(key) == "pwd" && value == *password;
    if (!read_back) Fail("the password does not come back whole", text, target->connection_string);
    bool secret = false;
    for (const std::string& kept : target->secrets) secret |= kept == *password;
    if (!secret && !password->empty()) Fail("the password is not among the secrets", text, "");
  }
  return 0;
}
