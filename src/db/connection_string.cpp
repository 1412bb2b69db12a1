#include "db/connection_string.h"

#include "base/date_text.h"
#include "db/database.h"

#include <utility>

namespace agendia::db {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char ClosingQuote(char opening) {
  switch (opening) {
    case '"': return '"';
    case '\'': return '\'';
    case '{': return '}';
    default: return 0;
  }
}

Status Malformed(std::string description) {
  return Status::Error(err::kUnspecified, "Invalid connection string: " + std::move(description));
}

bool IsPasswordKey(std::string_view lower_key) { return lower_key == "password" || lower_key == "pwd"; }

// How a description names the part whose key is `key`: by that key, unless
// a bare password came before it (`password_key`, as the text spells it), in
// which case the key itself may be the password's text.
std::string PartName(std::string_view key, const std::string& password_key) {
  if (!password_key.empty()) return "a part after '" + password_key + "'";
  return "'" + std::string(key) + "'";
}

// Reads a quoted value starting at text[pos] (the opening quote) and leaves
// pos after the closing quote.
StatusOr<std::string> ReadQuotedValue(std::string_view text, size_t& pos, std::string_view name) {
  const char closing = ClosingQuote(text[pos]);
  std::string value;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] != closing) {
      value.push_back(text[pos]);
      continue;
    }
    if (pos + 1 < text.size() && text[pos + 1] == closing) {
      value.push_back(closing);
      ++pos;
      continue;
    }
    ++pos;
    return value;
  }
  return Malformed("the value of " + std::string(name) + " has no closing quote");
}

// A bare path may itself be quoted, as a path with spaces often is.
std::string_view Unquoted(std::string_view path) {
  if (path.size() >= 2 && (path.front() == '"' || path.front() == '\'') &&
      path.back() == path.front()) {
    return path.substr(1, path.size() - 2);
  }
  return path;
}

}  // namespace

StatusOr<ConnectionString> ConnectionString::Parse(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return Malformed("it is empty");
  if (text.find('\0') != std::string_view::npos) return Malformed("it holds a NUL character");

  ConnectionString result;
  if (trimmed.find('=') == std::string_view::npos) {
    result.bare_path_ = true;
    result.parts_.push_back({"data source", std::string(Unquoted(trimmed)), "Data Source"});
    return result;
  }

  // The key of the last bare password, once there was one.
  std::string password_key;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t part_end = text.find_first_of(";=", pos);
    if (part_end == std::string_view::npos || text[part_end] == ';') {
      // A part without '=' is an error unless it is empty (";;" or a final ';').
      const size_t end = part_end == std::string_view::npos ? text.size() : part_end;
      const std::string_view stray = TrimBlanks(text.substr(pos, end - pos));
      // The stray text may be the rest of a value that held a ';' (a
      // password, say), so the message names the key before it instead.
      if (!stray.empty()) {
        if (result.parts_.empty()) return Malformed("its first part has no '='");
        if (!password_key.empty()) {
          return Malformed("a part after '" + password_key +
                           "' has no '=' (a password that holds ';' must be quoted)");
        }
        return Malformed("the part after '" + result.parts_.back().as_given + "' has no '='");
      }
      pos = end + 1;
      continue;
    }

    const std::string_view key = TrimBlanks(text.substr(pos, part_end - pos));
    if (key.empty()) return Malformed("a part has no key before '='");

    pos = part_end + 1;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;

    const std::string name = PartName(key, password_key);
    const bool after_bare_password = !password_key.empty();
    std::string value;
    bool bare = false;
    if (pos < text.size() && ClosingQuote(text[pos]) != 0) {
      StatusOr<std::string> quoted = ReadQuotedValue(text, pos, name);
      if (!quoted.ok()) return quoted.status();
      value = std::move(*quoted);
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
      if (pos < text.size() && text[pos] != ';') {
        return Malformed("the value of " + name + " has text after its closing quote");
      }
    } else {
      bare = true;
      size_t value_end = text.find(';', pos);
      if (value_end == std::string_view::npos) value_end = text.size();
      value = std::string(TrimBlanks(text.substr(pos, value_end - pos)));
      pos = value_end;
    }
    ++pos;  // past the ';' (or the end)
    std::string lower_key = base::LowerCase(key);
    if (bare && IsPasswordKey(lower_key)) password_key = std::string(key);
    result.parts_.push_back(
        {std::move(lower_key), std::move(value), std::string(key), after_bare_password});
  }
  return result;
}

const std::string* ConnectionString::Find(std::string_view key) const {
  const Part* part = FindPart(key);
  return part ? &part->value : nullptr;
}

const ConnectionString::Part* ConnectionString::FindPart(std::string_view key) const {
  const std::string wanted = base::LowerCase(key);
  for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
    if (part->key == wanted) return &*part;
  }
  return nullptr;
}

}  // namespace agendia::db
