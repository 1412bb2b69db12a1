#pragma once

// Creating a registered class the way a COM host does: ProgID to class
// identifier to in-process server, through the registration records that the
// server's DllRegisterServer writes. The host links this; it never links the
// server itself.

#include <agendia/com_ptr.h>
#include <agendia/dispatch.h>
#include <agendia/guid.h>
#include <agendia/status.h>

#include <string>

namespace agendia {

// The registry folder: $XDG_CONFIG_HOME/agendia/registry, or
// $HOME/.config/agendia/registry when XDG_CONFIG_HOME is unset or empty.
std::string DefaultRegistryRoot();

// The class identifier registered for `progid` under `registry_root` (the
// default folder when empty). CO_E_CLASSSTRING when the ProgID is not
// registered or its record names no valid class identifier.
StatusOr<Guid> CLSIDFromProgID(const std::string& progid, const std::string& registry_root = {});

// Creates an object of the registered class `clsid` and returns its
// IUnknown; ask it for other interfaces with ComPtr::As. Reads the class
// record, loads the in-process server it names (the library stays loaded for
// the life of the process), asks its DllGetClassObject for the class factory
// and has the factory create the object. REGDB_E_CLASSNOTREG when the class is not registered,
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the server cannot be loaded,
// E_FAIL when it lacks DllGetClassObject; otherwise the server's own status.
// Every failure's description names the record or the file concerned.
StatusOr<ComPtr<IUnknown>> CreateRegisteredObject(const Guid& clsid,
                                                  const std::string& registry_root = {});

// The two steps above for the dispatch interface, as a scripting host's
// CreateObject("AgendiaVB.Calender") does.
StatusOr<ComPtr<IDispatch>> CreateObjectByProgID(const std::string& progid,
                                                 const std::string& registry_root = {});

}  // namespace agendia
