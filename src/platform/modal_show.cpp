#include "platform/modal_show.h"

namespace agendia::platform {

Status ModalShow::Run(bool window_exists, FormEvents& events, const std::function<void()>& run_loop,
                      const std::function<void()>& destroy) {
  if (!window_exists || used_) {
    return Status::Error(hr::kUnexpected, "The window has been unloaded and cannot be shown again");
  }
  used_ = true;
  in_modal_ = true;
  Status loaded = events.Form_Load();
  if (!loaded.ok()) {
    in_modal_ = false;
    destroy();
    return loaded;
  }
  run_loop();
  in_modal_ = false;
  events.Form_Unload();
  destroy();
  return Status::Ok();
}

}  // namespace agendia::platform
