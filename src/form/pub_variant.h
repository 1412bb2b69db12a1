#pragma once

#include "platform/window_system.h"

#include <agendia/status.h>
#include <agendia/variant.h>

#include <cstdint>

namespace agendia::pub {

// SetWindowOwner for untyped values, as a late-bound caller passes them:
// both are converted to 32-bit integers first. Fails with
// DISP_E_TYPEMISMATCH, changing nothing, when either does not convert;
// otherwise returns the previous owner.
StatusOr<int32_t> SetWindowOwner(platform::WindowSystem& window_system, const Variant& window,
                                 const Variant& owner);

}  // namespace agendia::pub
