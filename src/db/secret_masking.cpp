#include "db/secret_masking.h"

#include <string_view>

namespace agendia::db {

namespace {

constexpr std::string_view kMask = "****";

// Letters of any script count as word characters: a byte of a multi-byte
// UTF-8 sequence belongs to a letter as often as not.
bool IsWordByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
         (byte >= 'A' && byte <= 'Z') || byte == '_';
}

size_t CodePoints(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[at + i]) != word[i]) return false;
  }
  return true;
}

// The end of a quoted value whose opening quote stands at `at`: past the
// closing quote, where a doubled closing quote stands for itself. An
// unclosed quote runs to the end.
size_t QuotedEnd(std::string_view text, size_t at) {
  const char closing = text[at] == '{' ? '}' : text[at];
  for (size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] != closing) continue;
    if (i + 1 < text.size() && text[i + 1] == closing) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return text.size();
}

// The end of the value that starts at `at`, after a password key's '='.
size_t ValueEnd(std::string_view text, size_t at, const std::vector<std::string>& secrets) {
  if (at >= text.size()) return at;
  if (text[at] == '{' || text[at] == '"' || text[at] == '\'') return QuotedEnd(text, at);
  for (const std::string& secret : secrets) {
    if (!secret.empty() && text.substr(at).starts_with(secret)) return at + secret.size();
  }
  const size_t end = text.find_first_of(";\r\n", at);
  return end == std::string_view::npos ? text.size() : end;
}

// Masks the values of PWD= and Password= keys.
std::string WithoutPasswordValues(std::string_view text, const std::vector<std::string>& secrets) {
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (at > 0 && IsWordByte(text[at - 1])) continue;
    size_t key_end = 0;
    if (StartsWithNoCase(text, at, "password")) {
      key_end = at + 8;
    } else if (StartsWithNoCase(text, at, "pwd")) {
      key_end = at + 3;
    } else {
      continue;
    }
    size_t equals = key_end;
    while (equals < text.size() && (text[equals] == ' ' || text[equals] == '\t')) ++equals;
    if (equals >= text.size() || text[equals] != '=') continue;
    size_t value = equals + 1;
    while (value < text.size() && (text[value] == ' ' || text[value] == '\t')) ++value;
    const size_t end = ValueEnd(text, value, secrets);
    if (end == value) continue;  // nothing to hide: "PWD=;"
    out.append(text.substr(copied, value - copied));
    out.append(kMask);
    copied = end;
    at = end - 1;
  }
  out.append(text.substr(copied));
  return out;
}

// Masks `secret` where it stands as a whole word.
std::string WithoutWord(std::string_view text, std::string_view secret) {
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;
  for (size_t at = text.find(secret); at != std::string_view::npos;
       at = text.find(secret, at + 1)) {
    if (at < copied) continue;
    const size_t end = at + secret.size();
    // An edge of the secret that is itself no word character needs no
    // boundary: "'s;x9" is a word of its own wherever it stands.
    const bool starts_word = at == 0 || !IsWordByte(text[at - 1]) || !IsWordByte(secret.front());
    const bool ends_word = end == text.size() || !IsWordByte(text[end]) || !IsWordByte(secret.back());
    if (!starts_word || !ends_word) continue;
    out.append(text.substr(copied, at - copied));
    out.append(kMask);
    copied = end;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace

std::string WithoutSecrets(std::string message, const std::vector<std::string>& secrets) {
  message = WithoutPasswordValues(message, secrets);
  for (const std::string& secret : secrets) {
    if (CodePoints(secret) < kShortestMaskedWord) continue;
    message = WithoutWord(message, secret);
  }
  return message;
}

}  // namespace agendia::db
