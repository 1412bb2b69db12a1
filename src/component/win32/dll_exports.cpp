// The entry points of Agendia.dll: the four of every in-process COM server
// and DllInstall for registering per user (regsvr32 /n /i:user). Nothing
// else is exported (Agendia.def).

#include "component/win32/com_server_p.h"

#include "component/module_objects.h"

#include <olectl.h>

namespace agendia::component::win32 {
namespace {
HMODULE g_module = nullptr;
}  // namespace

HMODULE ServerModule() { return g_module; }

std::wstring ServerPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace agendia::component::win32

namespace server = agendia::component::win32;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    server::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_Calender)) return CLASS_E_CLASSNOTAVAILABLE;
  return server::GetCalenderClassObject(iid, object);
}

STDAPI DllCanUnloadNow() { return agendia::component::CanUnloadNow() == agendia::hr::kOk ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return server::RegisterServer(/*per_user=*/false); }

STDAPI DllUnregisterServer() { return server::UnregisterServer(/*per_user=*/false); }

// regsvr32 /n /i:user registers for the current user only; /u with it undoes
// that. Without "user" it registers for the machine, as DllRegisterServer.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
  const bool per_user = command_line != nullptr && lstrcmpiW(command_line, L"user") == 0;
  return install ? server::RegisterServer(per_user) : server::UnregisterServer(per_user);
}

}  // extern "C"
