#pragma once

#include <cstdint>

namespace agendia::platform {

// A 32-bit window handle as the host passes it; 0 is "no window".
using WindowHandle = int32_t;

// The few window-system calls the component makes on windows it does not own.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // The direct parent of `window`; 0 for a top-level window, an unknown
  // handle or 0.
  virtual WindowHandle GetParent(WindowHandle window) = 0;

  // Enables or disables input to `window`. Returns true when the window was
  // disabled before the call. An unknown handle or 0 does nothing and returns
  // false.
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;

  // Makes `owner` the owner of the top-level `window` (0 removes the owner).
  // Returns the previous owner, or 0 when there was none or `window` is
  // unknown.
  virtual WindowHandle SetWindowOwner(WindowHandle window, WindowHandle owner) = 0;
};

}  // namespace agendia::platform
