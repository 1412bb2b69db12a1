// The entry points of Agendia.dll: the four of every in-process COM server
// and DllInstall for registering per user (regsvr32 /n /i:user). Nothing
// else is exported (Agendia.def). Each is a thin wrapper around the COM
// server of component/win32.

#include "component/win32/com_server.h"
#include "library/default_platform.h"

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

namespace server = agendia::component::win32;

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  return server::GetClassObject(&clsid, &iid, object, &agendia::platform::DefaultPlatform);
}

STDAPI DllCanUnloadNow() { return server::CanUnloadServer(); }

STDAPI DllRegisterServer() { return server::RegisterServer(/*per_user=*/false); }

STDAPI DllUnregisterServer() { return server::UnregisterServer(/*per_user=*/false); }

// regsvr32 /n /i:user registers for the current user only, and /u with it
// undoes that. Any other command line registers for the machine.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
  const bool per_user = command_line != nullptr && lstrcmpiW(command_line, L"user") == 0;
  return install ? server::RegisterServer(per_user) : server::UnregisterServer(per_user);
}

}  // extern "C"
