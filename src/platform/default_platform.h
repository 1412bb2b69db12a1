#pragma once

#include "platform/platform.h"

#include <memory>

namespace agendia::platform {

// The platform of the shipped component: Qt 6 Widgets for windows and message
// boxes, the process locale for the system language, and the resource texts
// installed beside the shared library. Defined by the Qt adapter.
std::shared_ptr<const Platform> DefaultPlatform();

}  // namespace agendia::platform
