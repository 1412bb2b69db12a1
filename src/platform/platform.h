#pragma once

#include "platform/system_language.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"
#include "resources/resource_library.h"

#include <memory>

namespace agendia::platform {

// The services a Calender object and its window use. All four are shared by
// every window the object opens.
struct Platform {
  std::shared_ptr<WindowSystem> window_system;
  std::shared_ptr<Toolkit> toolkit;
  std::shared_ptr<SystemLanguage> system_language;
  std::shared_ptr<resources::ResourceLibrary> resources;
};

}  // namespace agendia::platform
