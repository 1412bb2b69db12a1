#include "base/no_throw.h"
#include "form/frmCalendarInfo.h"
#include "memo/value_conversion.h"

namespace agendia {

void frmCalendarInfo::RunHandler(const char* handler_name,
                                 const std::function<Status()>& handler) noexcept {
  const Status result = base::CallWithoutThrowing(handler_name, handler);
  if (result.ok()) return;
  // Showing the failure can fail in turn (out of memory, toolkit gone); the
  // event then ends quietly rather than take the host down.
  base::CallWithoutThrowing(handler_name, [&] {
    ShowFailure(result);
    return Status::Ok();
  }).IgnoreError();
}

// The same text as a database failure: what went wrong, then its number.
void frmCalendarInfo::ShowFailure(const Status& failure) {
  platform_->toolkit->MessageBox(
      failure.description() + "(" + std::to_string(memo::ErrorNumber(failure)) + ")",
      platform::mb::kOkOnly, std::nullopt);
}

}  // namespace agendia
