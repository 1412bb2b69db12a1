// The composition root of Agendia.dll: the Win32 platform, the database
// client and the resource texts installed beside the DLL.

#include "platform/default_platform.h"

#include "db/default_client.h"
#include "platform/win32/win32_platform.h"

#ifndef AGENDIA_RESOURCE_DIR_NAME
#define AGENDIA_RESOURCE_DIR_NAME "agendia-resources"
#endif

namespace agendia::platform {

std::shared_ptr<const Platform> DefaultPlatform() {
  static const std::shared_ptr<const Platform> platform = std::make_shared<const Platform>(
      Platform{MakeWin32WindowSystem(), MakeWin32Toolkit(), MakeWin32SystemLanguage(),
               resources::MakeFileResourceLibrary(Win32ModuleDirectory() + "\\" AGENDIA_RESOURCE_DIR_NAME),
               db::MakeDefaultClient()});
  return platform;
}

}  // namespace agendia::platform
