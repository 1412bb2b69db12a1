#pragma once

// The Windows headers, included the one way every file of this adapter uses:
// wide-character API, no min/max macros, and no MessageBox macro, which would
// rename the toolkit's member of that name in the files that see it.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <commctrl.h>

#undef MessageBox
#undef GetObject

#include "platform/window_system.h"

#include <cstdint>

namespace agendia::platform::win32 {

// Win32 keeps window handles within 32 bits (sign-extended on 64-bit
// systems), so both directions are exact.
inline WindowHandle ToHandle(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<intptr_t>(window));
}
inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

// The property of a form window that holds its hidden owner, the owner it
// goes back to when it is given none.
inline constexpr wchar_t kHiddenOwnerProperty[] = L"AgendiaHiddenOwner";

// The module (DLL or executable) this adapter is linked into.
HMODULE ThisModule();

}  // namespace agendia::platform::win32
