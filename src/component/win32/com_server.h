#pragma once

// The COM server of Agendia.dll around the component: the Calender class as
// a real COM object (the dual interface _Calender of the type library
// AgendiaVB, IDispatch served from that type library, error information),
// its class factory and self-registration. The DLL's entry points forward
// here. Results are HRESULTs; identifiers are GUIDs passed by address. No
// Windows header is needed to call these.

#include "component/class_factory.h"

#include <cstdint>

namespace agendia::component::win32 {

// DllGetClassObject: the class object of `clsid` (only Calender) as `iid`.
// Each object it creates asks `provider` for its platform.
int32_t GetClassObject(const void* clsid, const void* iid, void** object, PlatformProvider provider);

// DllCanUnloadNow: S_OK when no object is alive and no lock is held.
int32_t CanUnloadServer();

// DllRegisterServer / DllUnregisterServer, for the machine or, with
// `per_user`, for the current user only (HKEY_CURRENT_USER\Software\Classes).
// Registration writes the class, its ProgIDs and the type library with this
// module's path; unregistering removes exactly those, and leaves a ProgID that
// now names another class alone. With the DLL of the other bitness registered
// beside it (its class in the other registry view), unregistering leaves the
// ProgIDs and the type library that both share to that one.
int32_t RegisterServer(bool per_user);
int32_t UnregisterServer(bool per_user);

}  // namespace agendia::component::win32
