#pragma once

#include <agendia/server.h>
#include <agendia/status.h>

#include <string>

namespace agendia::registry {

// Loads the in-process server at `path` and returns its DllGetClassObject.
// The library stays loaded for the life of the process, as objects it hands
// out may outlive every reference the caller keeps to it.
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the library cannot be loaded,
// E_FAIL when it has no DllGetClassObject; both name the file and the
// loader's reason.
StatusOr<DllGetClassObjectFn> LoadClassObjectEntry(const std::string& path);

}  // namespace agendia::registry
