#include "form/frmCalendarInfo.h"
#include "memo/statements.h"

namespace agendia {

// Removes the selected memo at once, without asking, then rebuilds the tree,
// empties and locks the editor. The identifier stays selected, so a second
// Delete runs again and silently matches no row; Modify is disabled, as there
// is no memo left to modify. Nothing selected: nothing happens.
//
// The memo is addressed by its identifier as stored, spaces around it
// included, since that is the row the tree listed; an identifier that other
// memos of the user share is refused with a word, as the delete would take
// them all. A delete that fails is the one message of the action: the tree
// is read again all the same, but a reload that fails too (the database is
// gone) would only repeat it.
Status frmCalendarInfo::btnDelete_Click() {
  if (base::Trim(m_cMsgID).empty()) return Status::Ok();
  if (RefuseSharedId()) return Status::Ok();

  long deleted = 0;
  const bool executed = ExecuteMemoStatement(memo::DeleteMemo(m_cMsgID, g_cUser), deleted).ok();
  // The reload shows its own database failures; anything else it reports
  // once the editor is emptied and locked.
  Status reloaded;
  if (executed) {
    reloaded = LoadMemoTree(&texts::kDeletedButNotListed);
  } else {
    Status failed;
    reloaded = ReadMemoTree(failed);
  }
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
