#include "base/date_text.h"
#include "form/frmCalendarInfo.h"
#include "memo/statements.h"
#include "memo/value_conversion.h"

namespace agendia {

// A click on a group node forgets the selected memo. A click on a memo node
// selects it at once, then reads it afresh from the database and shows it in
// the editor fields, whatever the edit mode.
void frmCalendarInfo::tvInfo_NodeClick(const platform::TreeNode& Node) {
  if (!Node.parent_key.has_value()) {
    m_cMsgID.clear();
    btnDelete->SetEnabled(false);
    btnModify->SetEnabled(false);
    return;
  }
  m_cMsgID = base::Trim(Node.key);

  // The store releases the recordset and the connection before any message,
  // so that no connection or lock is held while the box waits for the user.
  const Status shown =
      Store().Select(memo::SelectById(m_cMsgID), [this](db::Recordset& oRs) -> Status {
        auto at_end = oRs.EndOfFile();
        if (!at_end.ok()) return at_end.status();
        // A memo deleted meanwhile has no row: the fields keep what they show.
        if (!*at_end) AGENDIA_RETURN_IF_ERROR(ShowMemo(oRs));
        btnAdd->SetEnabled(true);
        btnModify->SetEnabled(true);
        btnDelete->SetEnabled(true);
        return Status::Ok();
      });
  if (!shown.ok()) ShowDbError(shown);
}

// Fills the editor from the current row, field by field; a failure leaves the
// fields filled so far with their new values.
Status frmCalendarInfo::ShowMemo(db::Recordset& oRs) {
  auto send_value = oRs.Value("dSend");
  if (!send_value.ok()) return send_value.status();
  auto send = memo::ValueToDateTime(*send_value);
  if (!send.ok()) return send.status();
  txtHour->SetText(std::to_string(send->hour));
  txtMinute->SetText(std::to_string(send->minute));
  auto header = GetString("Q7.PUB.PORTAL.frmCalendarInfo.003");
  if (!header.ok()) return header.status();
  lblCurrDay->SetCaption(*header + base::FormatDate(send->date));

  auto period = oRs.Value("DisplayPeriods");
  if (!period.ok()) return period.status();
  auto code = memo::ValueToInt16(*period, 0);
  if (!code.ok()) return code.status();
  // A code that names no kind has no item: the chooser is left without one.
  auto item = cboIntrval->List(*code);
  cboIntrval->SetText(item.ok() ? *item : std::string());

  auto title = oRs.Value("cMsgTitle");
  if (!title.ok()) return title.status();
  txtTitle->SetText(memo::ValueToText(*title));
  auto content = oRs.Value("cMsgContent");
  if (!content.ok()) return content.status();
  txtContent->SetText(memo::ValueToText(*content));
  return Status::Ok();
}

}  // namespace agendia
