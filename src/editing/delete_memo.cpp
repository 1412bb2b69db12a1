#include "form/frmCalendarInfo.h"
#include "memo/statements.h"

namespace agendia {

// Removes the selected memo at once, without asking, then rebuilds the tree,
// empties and locks the editor. The identifier stays selected, so a second
// Delete runs again and silently matches no row; Modify is disabled, as there
// is no memo left to modify. Nothing selected: nothing happens.
Status frmCalendarInfo::btnDelete_Click() {
  const std::string msg_id = base::Trim(m_cMsgID);
  if (msg_id.empty()) return Status::Ok();

  long deleted = 0;
  const bool executed = ExecuteMemoStatement(memo::DeleteMemo(msg_id, g_cUser), deleted).ok();
  // The reload shows its own database failures; anything else it reports
  // once the editor is emptied and locked.
  const Status reloaded = LoadMemoTree(executed ? &texts::kDeletedButNotListed : nullptr);
  if (executed) btnModify->SetEnabled(false);
  btnDelete->SetEnabled(true);
  btnSave->SetEnabled(false);
  txtHour->SetText("");
  txtMinute->SetText("");
  txtEndDay->SetText("");
  txtTitle->SetText("");
  txtContent->SetText("");
  EnableEditFields(false);
  return reloaded;
}

}  // namespace agendia
