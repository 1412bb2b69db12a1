#pragma once

#include <string>
#include <string_view>

namespace agendia::platform::win32 {

// UTF-8 (the core's texts) to and from UTF-16 (the Win32 wide API). Invalid
// sequences become U+FFFD rather than failing: a text shown on screen is
// better a little wrong than missing.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace agendia::platform::win32
