#pragma once

#include "db/database.h"
#include "platform/system_language.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"
#include "resources/resource_library.h"

#include <memory>

namespace agendia::platform {

// The services a Calender object and its window use. All of them are shared
// by every window the object opens.
struct Platform {
  std::shared_ptr<WindowSystem> window_system;
  std::shared_ptr<Toolkit> toolkit;
  std::shared_ptr<SystemLanguage> system_language;
  std::shared_ptr<resources::ResourceLibrary> resources;
  // Creates the objects of every database action; without one, each action
  // fails as a client that is not installed would.
  std::shared_ptr<db::Client> database;
};

}  // namespace agendia::platform
