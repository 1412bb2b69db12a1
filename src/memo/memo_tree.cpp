#include "form/frmCalendarInfo.h"
#include "memo/recurrence.h"

namespace agendia {

// Rebuilds the tree: the six group nodes, one per recurrence kind, in the
// order of the kinds. A failure of the tree or of a caption lookup goes to
// the caller.
Status frmCalendarInfo::LoadMemoTree() {
  tvInfo->Clear();
  for (const memo::RecurrenceKind& kind : memo::kRecurrenceKinds) {
    auto caption = GetString(kind.caption_key);
    if (!caption.ok()) return caption.status();
    AGENDIA_RETURN_IF_ERROR(tvInfo->AddNode(std::nullopt, std::nullopt, kind.group_key, *caption));
  }
  // Every group opens expanded, so its memos show without a click.
  for (const memo::RecurrenceKind& kind : memo::kRecurrenceKinds) {
    tvInfo->SetExpanded(kind.group_key, true).IgnoreError();
  }
  return Status::Ok();
}

}  // namespace agendia
