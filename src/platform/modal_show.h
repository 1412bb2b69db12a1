#pragma once

#include "platform/form_window.h"

#include <agendia/status.h>

#include <functional>

namespace agendia::platform {

// The order of a FormWindow's modal show, kept in one place for every
// toolkit's window: a window is shown at most once; Form_Load comes first,
// and its failure ends the show before anything is seen; Form_Unload comes
// once, after the window has closed; the native window is destroyed either
// way.
class ModalShow {
 public:
  // Runs the show. Fails with E_UNEXPECTED, raising no event, when the window
  // has been shown before or no longer exists (`window_exists` false).
  // Otherwise returns the failure of Form_Load, or Ok. `run_loop` shows the
  // window and returns once it has closed; `destroy` destroys the native
  // window, after a failed Form_Load or after Form_Unload.
  [[nodiscard]] Status Run(bool window_exists, FormEvents& events, const std::function<void()>& run_loop,
                           const std::function<void()>& destroy);

  // True inside Run from just before Form_Load until the window has closed,
  // which is when Unload has a window to close.
  bool InModal() const { return in_modal_; }

 private:
  bool used_ = false;
  bool in_modal_ = false;
};

}  // namespace agendia::platform
