#include "library/default_platform.h"

#include "db/default_client.h"
#include "resources/resource_library.h"

#if defined(_WIN32)
#include "platform/win32/win32_platform.h"
#else
#include "platform/qt/qt_platform.h"

#include <dlfcn.h>
#endif

#include <string>

#ifndef AGENDIA_RESOURCE_DIR_NAME
#define AGENDIA_RESOURCE_DIR_NAME "agendia-resources"
#endif

namespace agendia::platform {
namespace {

#if defined(_WIN32)

// Agendia.dll: native Win32 controls; the resource texts beside the DLL (not
// beside the host's executable).
std::string ModuleDirectory() { return Win32ModuleDirectory(); }
constexpr char kSeparator[] = "\\";
std::unique_ptr<WindowSystem> MakeWindowSystem() { return MakeWin32WindowSystem(); }
std::unique_ptr<Toolkit> MakeToolkit() { return MakeWin32Toolkit(); }
std::unique_ptr<SystemLanguage> MakeSystemLanguage() { return MakeWin32SystemLanguage(); }

#else

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
constexpr char kSeparator[] = "/";
std::unique_ptr<WindowSystem> MakeWindowSystem() { return MakeQtWindowSystem(); }
std::unique_ptr<Toolkit> MakeToolkit() { return MakeQtToolkit(); }
std::unique_ptr<SystemLanguage> MakeSystemLanguage() { return MakeQtSystemLanguage(); }

#endif

}  // namespace

std::shared_ptr<const Platform> DefaultPlatform() {
  static const std::shared_ptr<const Platform> platform = std::make_shared<const Platform>(
      Platform{MakeWindowSystem(), MakeToolkit(), MakeSystemLanguage(),
               resources::MakeFileResourceLibrary(ModuleDirectory() + kSeparator + AGENDIA_RESOURCE_DIR_NAME),
               db::MakeDefaultClient()});
  return platform;
}

}  // namespace agendia::platform
