#include "component/registry_loader.h"

#include <dlfcn.h>

namespace agendia::registry {
namespace {

std::string LoaderReason() {
  const char* reason = dlerror();
  return reason ? reason : "unknown reason";
}

}  // namespace

StatusOr<DllGetClassObjectFn> LoadClassObjectEntry(const std::string& path) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    return Status::Error(hr::kFileNotFound,
                         "cannot load the in-process server " + path + ": " + LoaderReason());
  }
  dlerror();
  void* entry = dlsym(library, "DllGetClassObject");
  if (!entry) {
    return Status::Fail("the in-process server " + path + " has no DllGetClassObject: " +
                        LoaderReason());
  }
  return reinterpret_cast<DllGetClassObjectFn>(entry);
}

}  // namespace agendia::registry
