#include "form/frmCalendarInfo.h"

namespace agendia {

// Opens or locks the editor as a whole. Texts, buttons and window values are
// left as they are.
void frmCalendarInfo::EnableEditFields(bool enabled) {
  txtHour->SetEnabled(enabled);
  txtMinute->SetEnabled(enabled);
  cboIntrval->SetEnabled(enabled);
  txtEndDay->SetEnabled(enabled);
  txtTitle->SetEnabled(enabled);
  txtContent->SetEnabled(enabled);
}

// An empty editor for a new memo. The chooser keeps the kind it shows and the
// selected memo stays selected; the next Save inserts. Typing starts with
// the hour, the first field of a memo.
//
// A memo whose insert lost its answer is left behind: the next Save stores
// the new memo without reading the list first.
void frmCalendarInfo::btnAdd_Click() {
  m_nEditMode = 0;
  m_bAnswerLost = false;
  cboIntrval->SetEnabled(true);
  btnDelete->SetEnabled(false);
  btnModify->SetEnabled(false);
  btnSave->SetEnabled(true);
  txtHour->SetText("");
  txtMinute->SetText("");
  txtEndDay->SetText("");
  txtTitle->SetText("");
  txtContent->SetText("");
  EnableEditFields(true);
  txtHour->SetFocus();
}

// Opens the editor on the memo it shows; the next Save updates the selected
// memo. A memo whose identifier others share is refused: an update would
// change them all.
void frmCalendarInfo::btnModify_Click() {
  if (RefuseSharedId()) return;
  m_nEditMode = 1;
  cboIntrval->SetEnabled(true);
  btnSave->SetEnabled(true);
  EnableEditFields(true);
}

}  // namespace agendia
