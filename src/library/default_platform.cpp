#include "library/default_platform.h"

#include "db/default_client.h"
#include "platform/qt/qt_platform.h"
#include "resources/resource_library.h"

#include <dlfcn.h>

#include <string>

#ifndef AGENDIA_RESOURCE_DIR_NAME
#define AGENDIA_RESOURCE_DIR_NAME "agendia-resources"
#endif

namespace agendia::platform {
namespace {

// The folder of the shared object (or executable) this code was linked into;
// the resource texts are installed beside it.
std::string ModuleDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) == 0 || info.dli_fname == nullptr) {
    return ".";
  }
  const std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::shared_ptr<const Platform> DefaultPlatform() {
  static const std::shared_ptr<const Platform> platform = std::make_shared<const Platform>(
      Platform{MakeQtWindowSystem(), MakeQtToolkit(), MakeQtSystemLanguage(),
               resources::MakeFileResourceLibrary(ModuleDirectory() + "/" AGENDIA_RESOURCE_DIR_NAME),
               db::MakeDefaultClient()});
  return platform;
}

}  // namespace agendia::platform
