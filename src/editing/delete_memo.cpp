#include "form/frmCalendarInfo.h"
#include "memo/statements.h"

namespace agendia {

// Removes the selected memo at once, without asking, then rebuilds the tree,
// empties and locks the editor. The identifier stays selected, so a second
// Delete runs again and matches no row. Nothing selected: nothing happens.
Status frmCalendarInfo::btnDelete_Click() {
  const std::string msg_id = base::Trim(m_cMsgID);
  if (msg_id.empty()) return Status::Ok();

  ExecuteMemoStatement(memo::DeleteMemo(msg_id));
  // The reload shows its own database failures; anything else it reports
  // once the editor is emptied and locked.
  const Status reloaded = LoadMemoTree();
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
