#pragma once

#include "base/date_text.h"
#include "db/database.h"
#include "form/window_texts.h"
#include "memo/memo_store.h"
#include "memo/memo_tree.h"
#include "platform/controls.h"
#include "platform/form_window.h"
#include "platform/platform.h"
#include "resources/resource_library.h"

#include <agendia/status.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace agendia {

// The calendar window: the user's memo tree beside the memo editor.
//
// The object is created first and given the user context; Show() then builds
// the native window, loads it and keeps it on screen until the user closes
// it. The object outlives its window and is never shown twice.
class frmCalendarInfo final : private platform::FormEvents {
 public:
  explicit frmCalendarInfo(std::shared_ptr<const platform::Platform> platform);
  ~frmCalendarInfo() override;
  frmCalendarInfo(const frmCalendarInfo&) = delete;
  frmCalendarInfo& operator=(const frmCalendarInfo&) = delete;

  // The user context, assigned by the host's call before Show().
  std::string g_cConn;   // connection string of the memo database
  std::string g_cUser;   // the user whose memos are shown
  std::string g_cAccId;  // account identifier stored with new memos
  std::string g_nYear;   // year stored with new memos, as text
  std::string dayCurr;   // the calendar's current day, as the host gave it
  std::string lanuage;   // language code; lower-cased once the weekday is looked up

  // Shows the window modally (`modal` is 1) and returns once it has been
  // closed. Fails, without showing anything, when the window cannot be built
  // or its load fails; a window that was shown once cannot be shown again.
  Status Show(int modal);

  // Brings the open window to the user's attention; while it is still
  // loading, does nothing and succeeds. Fails when the window is not open.
  Status ZOrder();

  // The native window while it is open, otherwise nothing.
  platform::FormWindow* Window() { return window_.get(); }

  // Window values, readable for inspection.
  const std::string& SelectedMsgId() const { return m_cMsgID; }
  int16_t EditMode() const { return m_nEditMode; }

  // The text of `strResID` in the current language.
  StatusOr<std::string> GetString(const std::string& strResID);

 private:
  // Window events.
  Status Form_Load() override;
  void Form_Resize() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void btnExit_Click();

  // Localisation.
  Status SetCaptions();
  // `text` in the current language with its placeholders filled by `values`
  // (form/window_texts.h). Its English text when the resource library lacks
  // the key: the lookup fails, or gives back nothing or the key itself.
  std::string TextOf(const WindowText& text, const std::vector<std::string>& values = {});
  void ApplyFontRule(platform::Control* control);
  std::string WeekdayName(int16_t weekday);
  void SetWeekdayLabel();
  // Names every control that takes input for assistive technology and ties
  // each label to the control it describes.
  void NameControls();
  // Makes the portal window, when there is one, the owner of this window.
  void SetPortalOwner();

  // Memo store: the steps every database action shares, done by the
  // memo::MemoStore of the window's client and connection string. Each
  // action opens its own connection and closes it again before it ends.
  memo::MemoStore Store() const;
  StatusOr<std::shared_ptr<db::Connection>> OpenMemoConnection();
  StatusOr<std::unique_ptr<db::Recordset>> OpenMemoRecordset(
      const std::shared_ptr<db::Connection>& oConn, const std::string& strSql);
  static void CloseIfOpen(std::unique_ptr<db::Recordset>& oRs);
  static void CloseIfOpen(std::shared_ptr<db::Connection>& oConn);
  void ShowDbError(const Status& failure);
  // Runs one insert, update or delete as a database action of its own; a
  // failure is shown to the user, and the connection is gone either way.
  // Gives the statement's outcome and, in `records_affected`, the rows it
  // changed (-1 when the database cannot tell).
  Status ExecuteMemoStatement(const std::string& strSql, long& records_affected);

  // Memo tree and recurrence rule (memo/memo_tree.h, memo/due_rule.h).
  // A database failure's description is shown in `failure_text` (as %1),
  // or alone without one.
  Status LoadMemoTree(const WindowText* failure_text = nullptr);
  // The tree rebuilt as LoadMemoTree does, but a failure of the database or
  // of a memo's node is given back in `failed` (ok when the list was read in
  // full) for the caller to word, not shown. Rows left out are reported
  // here, once per window or when their count changes. Fails only outside
  // the database (the group nodes, a caption).
  Status ReadMemoTree(Status& failed);
  Status FillMemoTree(const memo::DueMemos& due, memo::LeftOut& left_out);
  bool IsMemoDue(const base::Date& dCurrDay, const base::Date& dMemoDay, int16_t nPeriod);

  // Detail view. A memo as read from its row, before it is shown.
  struct MemoFields {
    base::DateTime send;
    std::string header;
    int16_t kind = 0;
    std::string title;
    std::string content;
  };
  void tvInfo_NodeClick(const platform::TreeNode& Node);
  StatusOr<MemoFields> ReadMemo(db::Recordset& oRs);
  void ShowMemo(const MemoFields& memo);
  // True, after telling the user why, when the selected identifier is one
  // that several memos of the user share: Modify, Delete and an update
  // would change them all.
  bool RefuseSharedId();

  // Editing: edit modes and buttons.
  void EnableEditFields(bool enabled);
  void btnAdd_Click();
  void btnModify_Click();
  // Saving and deleting. A failure outside their database action goes to the
  // caller, which shows it.
  Status btnSave_Click();
  Status btnDelete_Click();
  // Saving: the time checks, in their order. Gives the time entered, or
  // nothing when a check failed and its message has been shown.
  struct TimeOfDay {
    int hour = 0;
    int minute = 0;
  };
  StatusOr<std::optional<TimeOfDay>> CheckTimeFields();
  // The text of `message_key` in a box with the window's title as caption.
  Status ShowInputMessage(const char* message_key, int style);
  // One of the window's own texts, filled with `values`, in such a box.
  Status ShowWindowMessage(const WindowText& text, int style,
                           const std::vector<std::string>& values = {});

  // Input filters of the editor fields.
  void txtTitle_KeyPress(int16_t& KeyAscii);
  void txtContent_KeyPress(int16_t& KeyAscii);
  void txtHour_KeyPress(int16_t& KeyAscii);
  void txtMinute_KeyPress(int16_t& KeyAscii);
  void txtHour_KeyUp(int16_t KeyCode, int16_t Shift);
  void txtMinute_KeyUp(int16_t KeyCode, int16_t Shift);
  void txtHour_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
  void txtHour_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
  void txtMinute_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
  void txtMinute_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
  void BindEditingEvents();

  // Runs an event handler so that nothing it raises reaches the toolkit or
  // the host: a failing status or an exception is shown to the user in a
  // message box ("description(number)"), and the window stays usable.
  // `handler_name` names it in the description of an exception.
  void RunHandler(const char* handler_name, const std::function<Status()>& handler) noexcept;
  void ShowFailure(const Status& failure);

  Status BindControls();

  std::shared_ptr<const platform::Platform> platform_;
  std::unique_ptr<platform::FormWindow> window_;
  bool shown_once_ = false;
  bool loading_ = false;  // while Form_Load runs, before the window is shown

  // Resource library objects, created on the first lookup.
  std::unique_ptr<resources::ResourceFactory> m_oResFactory;
  std::shared_ptr<resources::ResourceService> m_oResService;

  std::string m_cMsgID;       // identifier of the selected memo, "" when none
  // Rows of the user's that have the identifier m_cMsgID, as the detail view
  // counted them when it showed the memo; 0 when none is selected.
  int m_nMsgRows = 0;
  // An insert's answer was lost (the memo may be stored) and the list has not
  // been read since: Save reads it before it inserts anything.
  bool m_bAnswerLost = false;
  // Rows the last full read of the list left out, as last reported.
  int m_nLeftOutShown = 0;
  int16_t m_nEditMode = 0;    // 0 new memo, 1 modifying
  std::string m_cHourText;    // txtHour's text at the last mouse press on it
  std::string m_cMinuteText;  // txtMinute's text at the last mouse press on it

  // Controls of the open window; owned by window_.
  platform::TreeView* tvInfo = nullptr;
  platform::EditBox* txtHour = nullptr;
  platform::EditBox* txtMinute = nullptr;
  platform::ComboBox* cboIntrval = nullptr;
  platform::EditBox* txtEndDay = nullptr;
  platform::EditBox* txtTitle = nullptr;
  platform::EditBox* txtContent = nullptr;
  platform::CommandButton* btnAdd = nullptr;
  platform::CommandButton* btnDelete = nullptr;
  platform::CommandButton* btnModify = nullptr;
  platform::CommandButton* btnSave = nullptr;
  platform::CommandButton* btnExit = nullptr;
  platform::Label* VXLabel1 = nullptr;
  platform::Label* lblEndDay = nullptr;
  platform::Label* lblHour = nullptr;
  platform::Label* lblAlert = nullptr;
  platform::Label* lblContent = nullptr;
  platform::Label* lblTopic = nullptr;
  platform::Label* lblCurrDay = nullptr;
  platform::Label* wk = nullptr;
  platform::CaptionBar* VXFrmCaptionMgr = nullptr;
};

}  // namespace agendia
