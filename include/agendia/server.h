#pragma once

// The four entry points of the component's shared library, as an in-process
// COM server exports them. They return HRESULT codes (agendia::hr) and never
// throw. A host that loads the library by path looks them up by these names;
// the *Fn types are their signatures for that look-up.

#include <agendia/export.h>
#include <agendia/guid.h>

#include <cstdint>

extern "C" {

// Stores in *object the class object (the class factory) of `clsid` as its
// interface `iid`, with a reference for the caller. CLASS_E_CLASSNOTAVAILABLE
// for a class the library does not serve, E_NOINTERFACE for an interface the
// factory lacks, E_POINTER for a null argument; *object is null on failure.
AGENDIA_EXPORT int32_t DllGetClassObject(const agendia::Guid* clsid, const agendia::Guid* iid,
                                         void** object);

// S_OK when no object of the library is alive and no factory lock is held,
// so the host may unload it; S_FALSE otherwise.
AGENDIA_EXPORT int32_t DllCanUnloadNow();

// Writes the registration records of the class, its ProgID and its type
// library, naming this library's file as the in-process server; an earlier
// registration is replaced. SELFREG_E_CLASS when a record cannot be written.
// Records live under the registry folder: $XDG_CONFIG_HOME/agendia/registry,
// or ~/.config/agendia/registry when XDG_CONFIG_HOME is not set.
AGENDIA_EXPORT int32_t DllRegisterServer();

// Removes the records that DllRegisterServer writes; a record that is
// already gone is no failure. A ProgID record now naming another class is
// left alone. SELFREG_E_CLASS when a record cannot be removed.
AGENDIA_EXPORT int32_t DllUnregisterServer();

}  // extern "C"

namespace agendia {
using DllGetClassObjectFn = int32_t (*)(const Guid*, const Guid*, void**);
using DllCanUnloadNowFn = int32_t (*)();
using DllRegisterServerFn = int32_t (*)();
using DllUnregisterServerFn = int32_t (*)();
}  // namespace agendia
