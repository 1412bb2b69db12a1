// The entry points of the shared library. Everything here is a thin wrapper:
// the component's work happens in the core, which knows nothing of how the
// library was loaded or where it lies.

#include <agendia/server.h>

#include "base/no_throw.h"
#include "component/class_factory.h"
#include "component/module_objects.h"
#include "component/registration.h"
#include "component/registry_files.h"
#include "library/default_platform.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace {

using agendia::Status;

// The file this library was loaded from, made absolute; empty when the
// loader cannot tell.
std::string ThisLibraryPath() {
  static const char anchor = 0;
  Dl_info info{};
  if (dladdr(&anchor, &info) == 0 || info.dli_fname == nullptr) return {};
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
  return error ? std::string(info.dli_fname) : path.string();
}

}  // namespace

extern "C" {

AGENDIA_EXPORT int32_t DllGetClassObject(const agendia::Guid* clsid, const agendia::Guid* iid,
                                         void** object) {
  if (object) *object = nullptr;
  if (!clsid || !iid || !object) return agendia::hr::kPointer;
  return agendia::component::GetClassObject(*clsid, *iid, object, &agendia::platform::DefaultPlatform)
      .code();
}

AGENDIA_EXPORT int32_t DllCanUnloadNow() { return agendia::component::CanUnloadNow(); }

AGENDIA_EXPORT int32_t DllRegisterServer() {
  return agendia::base::CallWithoutThrowing("DllRegisterServer", [] {
           std::string path = ThisLibraryPath();
           if (path.empty()) {
             return Status::Error(agendia::hr::kSelfRegClass,
                                  "cannot tell which file this library was loaded from");
           }
           return agendia::component::RegisterCalender(agendia::registry::DefaultRoot(), path);
         })
      .code();
}

AGENDIA_EXPORT int32_t DllUnregisterServer() {
  return agendia::base::CallWithoutThrowing("DllUnregisterServer", [] {
           return agendia::component::UnregisterCalender(agendia::registry::DefaultRoot());
         })
      .code();
}

}  // extern "C"
