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
//
// The node's key is the identifier as stored, spaces around it included: the
// memo is read, and later modified and deleted, by exactly that. The rows
// that have it are counted, so that Modify and Delete can refuse an
// identifier several memos share (a table without its key).
void frmCalendarInfo::tvInfo_NodeClick(const platform::TreeNode& Node) {
  if (!Node.parent_key.has_value()) {
    m_cMsgID.clear();
    m_nMsgRows = 0;
    btnDelete->SetEnabled(false);
    btnModify->SetEnabled(false);
    return;
  }
  const std::string& msg_id = Node.key;

  // The store releases the recordset and the connection before any message,
  // so that no connection or lock is held while the box waits for the user.
  std::optional<MemoFields> memo;
  int rows = 0;
  const Status read =
      Store().Select(memo::SelectById(msg_id, g_cUser), [&](db::Recordset& oRs) -> Status {
        for (;;) {
          auto at_end = oRs.EndOfFile();
          if (!at_end.ok()) return at_end.status();
          if (*at_end) return Status::Ok();
          if (rows++ == 0) {
            auto fields = ReadMemo(oRs);
            if (!fields.ok()) return fields.status();
            memo = std::move(fields).value();
          }
          AGENDIA_RETURN_IF_ERROR(oRs.MoveNext());
        }
      });
  if (!read.ok()) {
    m_cMsgID.clear();
    m_nMsgRows = 0;
    btnModify->SetEnabled(false);
    btnDelete->SetEnabled(false);
    ShowDbError(read);
    return;
  }
  if (memo) ShowMemo(*memo);
  m_cMsgID = msg_id;
  m_nMsgRows = rows;
  btnAdd->SetEnabled(true);
  btnModify->SetEnabled(memo.has_value());
  btnDelete->SetEnabled(true);
}

// Reads every value of the current row; the editor is filled only once all
// of them could be read, so a row that fails leaves the fields as they were.
StatusOr<frmCalendarInfo::MemoFields> frmCalendarInfo::ReadMemo(db::Recordset& oRs) {
  MemoFields memo;
  auto send_value = oRs.Value("dSend");
  if (!send_value.ok()) return send_value.status();
  auto send = memo::ValueToDateTime(*send_value);
  if (!send.ok()) return send.status();
  memo.send = *send;
  auto header = GetString("Q7.PUB.PORTAL.frmCalendarInfo.003");
  if (!header.ok()) return header.status();
  memo.header = std::move(header).value();
  auto period = oRs.Value("DisplayPeriods");
  if (!period.ok()) return period.status();
  auto code = memo::ValueToInt16(*period, 0);
  if (!code.ok()) return code.status();
  memo.kind = *code;
  auto title = oRs.Value("cMsgTitle");
  if (!title.ok()) return title.status();
  memo.title = memo::ValueToText(*title);
  auto content = oRs.Value("cMsgContent");
  if (!content.ok()) return content.status();
  memo.content = memo::ValueToText(*content);
  return memo;
}

void frmCalendarInfo::ShowMemo(const MemoFields& memo) {
  txtHour->SetText(std::to_string(memo.send.hour));
  txtMinute->SetText(std::to_string(memo.send.minute));
  lblCurrDay->SetCaption(memo.header + base::FormatDate(memo.send.date));
  // A code that names no kind has no item: the chooser is left without one.
  auto item = cboIntrval->List(memo.kind);
  cboIntrval->SetText(item.ok() ? *item : std::string());
  txtTitle->SetText(memo.title);
  txtContent->SetText(memo.content);
}

}  // namespace agendia
