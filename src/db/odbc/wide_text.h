#pragma once

#include <string>
#include <string_view>

namespace agendia::db {

// The component's text is UTF-8; ODBC's wide-character calls take UTF-16
// (SQLWCHAR is 16 bits with unixODBC and with Windows' odbc32 alike, so
// char16_t is the portable type, never wchar_t). Malformed input (a stray
// byte, an unpaired surrogate) becomes U+FFFD instead of being dropped, so
// a damaged value never turns into a shorter, different one silently.

std::u16string Utf8ToUtf16(std::string_view text);

// Appends to `out`, so a caller reading many values can reuse one buffer.
void AppendUtf16AsUtf8(std::u16string_view text, std::string& out);

// True when `text` is well-formed UTF-8: no stray or missing continuation
// byte, no overlong form, no surrogate, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// `text` as it stands when it is valid UTF-8; otherwise with U+FFFD for each
// malformed piece (text a narrow driver hands back).
std::string ValidUtf8(std::string text);

inline std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf16AsUtf8(text, out);
  return out;
}

}  // namespace agendia::db
