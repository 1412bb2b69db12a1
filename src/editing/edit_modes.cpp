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

}  // namespace agendia
