// The window-system calls and the system language: thin wrappers of user32
// and kernel32.

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_p.h"
#include "platform/win32/wide_text.h"

namespace agendia::platform {
namespace win32 {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

namespace {

class Win32WindowSystem final : public WindowSystem {
 public:
  // GetParent also returns the owner of an owned top-level window, as the
  // host's own calls do.
  WindowHandle GetParent(WindowHandle window) override {
    if (window == 0) return 0;
    return ToHandle(::GetParent(ToHwnd(window)));
  }

  bool EnableWindow(WindowHandle window, bool enable) override {
    if (window == 0 || !::IsWindow(ToHwnd(window))) return false;
    return ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE) != FALSE;
  }

  WindowHandle SetWindowOwner(WindowHandle window, WindowHandle owner) override {
    if (window == 0 || !::IsWindow(ToHwnd(window))) return 0;
    // No owner is the hidden one, where a form window has it: without an
    // owner the window would get a task-bar button.
    LONG_PTR new_owner = static_cast<LONG_PTR>(owner);
    if (owner == 0) new_owner = reinterpret_cast<LONG_PTR>(GetPropW(ToHwnd(window), kHiddenOwnerProperty));
    return static_cast<WindowHandle>(SetWindowLongPtrW(ToHwnd(window), GWLP_HWNDPARENT, new_owner));
  }
};

class Win32SystemLanguage final : public SystemLanguage {
 public:
  uint16_t GetSystemDefaultLangID() override { return ::GetSystemDefaultLangID(); }
};

}  // namespace
}  // namespace win32

std::unique_ptr<WindowSystem> MakeWin32WindowSystem() {
  return std::make_unique<win32::Win32WindowSystem>();
}

std::unique_ptr<SystemLanguage> MakeWin32SystemLanguage() {
  return std::make_unique<win32::Win32SystemLanguage>();
}

std::string Win32ModuleDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(win32::ThisModule(), path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return ".";
  return win32::Narrow(path.substr(0, separator));
}

}  // namespace agendia::platform
