#pragma once

#include "platform/platform.h"

#include <memory>

namespace agendia::platform {

// The platform of the shipped component, made once per process: the window
// adapter of this build (Qt 6 Widgets on Linux, Win32 in Agendia.dll) for windows, message boxes
// and the system language, the resource texts installed beside the shared
// library, and the database client with every backend the build has. This is
// the one place that picks adapters; the core and the adapters never do.
std::shared_ptr<const Platform> DefaultPlatform();

}  // namespace agendia::platform
