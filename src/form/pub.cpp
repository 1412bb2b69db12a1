#include "form/pub.h"

#include "form/pub_variant.h"

namespace agendia::pub {

thread_local int16_t g_bFormOpen = 0;
thread_local platform::WindowHandle g_hPortal = 0;

int32_t SetWindowOwner(platform::WindowSystem& window_system, int32_t window, int32_t owner) {
  return window_system.SetWindowOwner(window, owner);
}

StatusOr<int32_t> SetWindowOwner(platform::WindowSystem& window_system, const Variant& window,
                                 const Variant& owner) {
  StatusOr<int32_t> window_handle = window.ToInt32();
  if (!window_handle.ok()) return window_handle.status();
  StatusOr<int32_t> owner_handle = owner.ToInt32();
  if (!owner_handle.ok()) return owner_handle.status();
  return SetWindowOwner(window_system, *window_handle, *owner_handle);
}

}  // namespace agendia::pub
