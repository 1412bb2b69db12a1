#include "editing/input_rules.h"
#include "form/frmCalendarInfo.h"
#include "memo/recurrence.h"
#include "memo/statements.h"
#include "memo/value_conversion.h"

namespace agendia {

namespace {
constexpr const char* kCaptionKey = "Q7.PUB.PORTAL.frmCalendarInfo.001";
constexpr const char* kTimeMissingKey = "Q7.PUB.PORTAL0078";
constexpr const char* kHourMissingKey = "Q7.PUB.PORTAL0079";
constexpr const char* kMinuteMissingKey = "Q7.PUB.PORTAL0080";
constexpr const char* kTimeOutOfRangeKey = "Q7.PUB.PORTAL0081";
}  // namespace

// Checks the editor, writes the memo (a new row in mode 0, the selected memo
// in mode 1), rebuilds the tree and locks the editor.
//
// A check that fails shows its message and leaves the window as it was; a
// blank title or content stops without a word. A statement the database
// refuses (a lock held too long, the database gone) is shown and leaves the
// editor open with what was typed, so that Save can be pressed again and
// nothing typed is lost. Once the memo is stored, Save ends in browsing; a
// tree that cannot be read again then is reported as such, not as a failed
// save.
//
// Two failures leave the editor open for reasons of their own:
// - An update that finds no memo to change (deleted meanwhile, here or
//   elsewhere): the tree is read again, so the memo is no longer listed, and
//   the editor turns to a new memo with the text as typed, so that the next
//   Save stores it as one. The user is told exactly that; no step of the
//   advice empties the fields, as Add would.
// - An insert whose answer was lost (a time-out or a broken connection to a
//   server, which may have stored it): the tree is read again before Save is
//   offered again, and the user is told the memo may be saved and to look for
//   it there; pressing Save again without that look would store it twice. A
//   list that cannot be read is read by the next Save, in place of inserting.
// The focus then goes to the tree: Save itself is disabled, and the focus
// must not drift to a button that Enter or Space would press by mistake.
Status frmCalendarInfo::btnSave_Click() {
  const int position = cboIntrval->ListIndex();
  // No kind chosen stores a memo of once.
  const auto kind = position < 0 ? memo::kOnce : static_cast<int16_t>(position);

  auto time = CheckTimeFields();
  if (!time.ok()) return time.status();
  if (!time->has_value()) return Status::Ok();
  const auto [hour, minute] = **time;
  const int minutes_of_day = hour * 60 + minute;

  const std::string title = base::Trim(txtTitle->Text());
  const std::string content = base::Trim(txtContent->Text());
  if (title.empty() || content.empty()) return Status::Ok();
  if (m_nEditMode == 1 && RefuseSharedId()) return Status::Ok();

  if (m_nEditMode == 0 && m_bAnswerLost) {
    // The memo of the lost answer may be stored: the list comes first.
    Status failed;
    AGENDIA_RETURN_IF_ERROR(ReadMemoTree(failed));
    if (!failed.ok()) {
      ShowDbError(Status::Error(failed.code(), TextOf(texts::kListStillNotRead, {failed.description()})));
    } else {
      AGENDIA_RETURN_IF_ERROR(ShowWindowMessage(texts::kListReadAgain, platform::mb::kInformation));
    }
    return Status::Ok();
  }

  // The memo is dated on the window's current day, also when it is modified.
  auto day = memo::TextToDate(dayCurr);
  if (!day.ok()) return day.status();
  const std::string send_time = base::FormatDateTime({*day, hour, minute, 0});

  std::string statement;
  if (m_nEditMode == 0) {
    auto insert = memo::InsertMemo({title, content, g_cUser, send_time, minutes_of_day, kind,
                                    g_cAccId, g_nYear});
    if (!insert.ok()) return insert.status();
    statement = std::move(insert).value();
  } else {
    statement = memo::UpdateMemo({send_time, title, content, minutes_of_day, kind}, m_cMsgID, g_cUser);
  }

  long changed = 0;
  bool answer_lost = false;
  // The store has released the connection before any message is shown, so
  // that no connection or lock is held while the box waits for the user.
  const Status executed = Store().Execute(statement, &changed, &answer_lost);
  if (!executed.ok() && m_nEditMode == 0 && answer_lost) {
    m_bAnswerLost = true;
    Status failed;
    AGENDIA_RETURN_IF_ERROR(ReadMemoTree(failed));
    ShowDbError(Status::Error(
        executed.code(), failed.ok() ? TextOf(texts::kAnswerLost, {executed.description()})
                                     : TextOf(texts::kAnswerLostNotListed,
                                              {executed.description(), failed.description()})));
    return Status::Ok();
  }
  if (!executed.ok()) {
    ShowDbError(executed);
    return Status::Ok();
  }
  if (m_nEditMode == 1 && changed == 0) {
    // Nothing to modify any more; what was typed becomes a new memo.
    m_nEditMode = 0;
    btnModify->SetEnabled(false);
    btnDelete->SetEnabled(false);
    Status failed;
    AGENDIA_RETURN_IF_ERROR(ReadMemoTree(failed));
    // Shown as a database failure: the text followed by the error number.
    ShowDbError(Status::Error(db::err::kNoCurrentRecord, TextOf(texts::kMemoGoneNotSaved)));
    if (!failed.ok()) ShowDbError(failed);
    return Status::Ok();
  }
  // The reload shows its own database failures; anything else it reports
  // once the window is back in browsing.
  const Status reloaded = LoadMemoTree(&texts::kSavedButNotListed);
  if (m_nEditMode == 1) btnModify->SetEnabled(false);
  cboIntrval->SetEnabled(false);
  btnDelete->SetEnabled(false);
  btnSave->SetEnabled(false);
  EnableEditFields(false);
  tvInfo->SetFocus();
  return reloaded;
}

// Tells the user, before anything changes, that the selected memo's
// identifier is shared; see the member's declaration.
bool frmCalendarInfo::RefuseSharedId() {
  if (m_nMsgRows <= 1) return false;
  const Status shown = ShowWindowMessage(texts::kMemoIdShared, platform::mb::kExclamation,
                                         {std::to_string(m_nMsgRows), m_cMsgID});
  // Refused all the same; a box without its caption is no reason to act.
  if (!shown.ok()) ShowFailure(shown);
  return true;
}

// Hour and minute must both be given and name a time of day. Text that is
// not a whole number (it can only arrive by pasting) is out of range like 24
// or 60. Nothing when a check failed and its message was shown.
StatusOr<std::optional<frmCalendarInfo::TimeOfDay>> frmCalendarInfo::CheckTimeFields() {
  const std::string hour_text = txtHour->Text();
  const std::string minute_text = txtMinute->Text();
  const char* missing = nullptr;
  if (hour_text.empty() && minute_text.empty()) {
    missing = kTimeMissingKey;
  } else if (hour_text.empty()) {
    missing = kHourMissingKey;
  } else if (minute_text.empty()) {
    missing = kMinuteMissingKey;
  }
  if (missing != nullptr) {
    AGENDIA_RETURN_IF_ERROR(ShowInputMessage(missing, platform::mb::kExclamation));
    return std::optional<TimeOfDay>();
  }

  const std::optional<int> hour = editing::ReadTimeNumber(hour_text);
  const std::optional<int> minute = editing::ReadTimeNumber(minute_text);
  if (!hour || !minute || *hour > 23 || *minute >= 60) {
    AGENDIA_RETURN_IF_ERROR(ShowInputMessage(kTimeOutOfRangeKey, platform::mb::kInformation));
    return std::optional<TimeOfDay>();
  }
  return std::optional<TimeOfDay>(TimeOfDay{*hour, *minute});
}

// A message about the editor's input, under the window's title.
Status frmCalendarInfo::ShowInputMessage(const char* message_key, int style) {
  auto text = GetString(message_key);
  if (!text.ok()) return text.status();
  auto caption = GetString(kCaptionKey);
  if (!caption.ok()) return caption.status();
  platform_->toolkit->MessageBox(*text, style, *caption);
  return Status::Ok();
}

Status frmCalendarInfo::ShowWindowMessage(const WindowText& text, int style,
                                          const std::vector<std::string>& values) {
  auto caption = GetString(kCaptionKey);
  if (!caption.ok()) return caption.status();
  platform_->toolkit->MessageBox(TextOf(text, values), style, *caption);
  return Status::Ok();
}

}  // namespace agendia
