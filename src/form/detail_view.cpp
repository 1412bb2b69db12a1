#include "base/date_text.h"
#include "form/frmCalendarInfo.h"
#include "memo/statements.h"
#include "memo/value_conversion.h"

namespace agendia {

// A click on a group node forgets the selected memo. A click on a memo node
// reads that memo afresh from the database and shows it in the editor
// fields, whatever the edit mode, and selects it.
//
// The memo is selected only once it is shown in full: a memo whose row cannot
// be read (a date that is no date, a kind beyond 16 bits) is reported, the
// fields keep showing the memo shown before, and nothing is selected, so
// Modify and Delete can never act on a memo other than the one on screen. A
// memo that no longer exists (deleted elsewhere) shows nothing; it stays
// selected, so Delete runs and silently matches no row, but Modify is off.
void frmCalendarInfo::tvInfo_NodeClick(const platform::TreeNode& Node) {
  if (!Node.parent_key.has_value()) {
    m_cMsgID.clear();
    btnDelete->SetEnabled(false);
    btnModify->SetEnabled(false);
    return;
  }
  const std::string msg_id = base::Trim(Node.key);

  // The store releases the recordset and the connection before any message,
  // so that no connection or lock is held while the box waits for the user.
  bool found = false;
  const Status shown =
      Store().Select(memo::SelectById(msg_id, g_cUser), [&](db::Recordset& oRs) -> Status {
        auto at_end = oRs.EndOfFile();
        if (!at_end.ok()) return at_end.status();
        found = !*at_end;
        if (found) AGENDIA_RETURN_IF_ERROR(ShowMemo(oRs));
        return Status::Ok();
      });
  if (!shown.ok()) {
    m_cMsgID.clear();
    btnModify->SetEnabled(false);
    btnDelete->SetEnabled(false);
    ShowDbError(shown);
    return;
  }
  m_cMsgID = msg_id;
  btnAdd->SetEnabled(true);
  btnModify->SetEnabled(found);
  btnDelete->SetEnabled(true);
}

// Reads every value of the current row first and fills the editor only when
// all of them could be read, so a row that fails leaves the fields as they were.
Status frmCalendarInfo::ShowMemo(db::Recordset& oRs) {
  auto send_value = oRs.Value("dSend");
  if (!send_value.ok()) return send_value.status();
  auto send = memo::ValueToDateTime(*send_value);
  if (!send.ok()) return send.status();
  auto header = GetString("Q7.PUB.PORTAL.frmCalendarInfo.003");
  if (!header.ok()) return header.status();
  auto period = oRs.Value("DisplayPeriods");
  if (!period.ok()) return period.status();
  auto code = memo::ValueToInt16(*period, 0);
  if (!code.ok()) return code.status();
  auto title = oRs.Value("cMsgTitle");
  if (!title.ok()) return title.status();
  auto content = oRs.Value("cMsgContent");
  if (!content.ok()) return content.status();

  txtHour->SetText(std::to_string(send->hour));
  txtMinute->SetText(std::to_string(send->minute));
  lblCurrDay->SetCaption(*header + base::FormatDate(send->date));
  // A code that names no kind has no item: the chooser is left without one.
  auto item = cboIntrval->List(*code);
  cboIntrval->SetText(item.ok() ? *item : std::string());
  txtTitle->SetText(memo::ValueToText(*title));
  txtContent->SetText(memo::ValueToText(*content));
  return Status::Ok();
}

}  // namespace agendia
