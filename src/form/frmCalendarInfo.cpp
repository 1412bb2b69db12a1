#include "form/frmCalendarInfo.h"

#include "form/layout.h"
#include "form/pub.h"

namespace agendia {

frmCalendarInfo::frmCalendarInfo(std::shared_ptr<const platform::Platform> platform)
    : platform_(std::move(platform)) {}

frmCalendarInfo::~frmCalendarInfo() = default;

Status frmCalendarInfo::Show(int /*modal*/) {
  if (shown_once_) {
    return Status::Error(hr::kUnexpected, "The calendar window has already been shown");
  }
  shown_once_ = true;

  auto runtime = platform_->toolkit->AcquireRuntime();
  if (!runtime.ok()) return runtime.status();
  auto window = platform_->toolkit->CreateForm(CalendarFormDesign());
  if (!window.ok()) return window.status();
  window_ = std::move(window).value();
  AGENDIA_RETURN_IF_ERROR(BindControls());

  Status shown = window_->ShowModal(*this);
  // The native window is gone; the controls must not be reached any more.
  window_.reset();
  return shown;
}

Status frmCalendarInfo::ZOrder() {
  if (!window_) return Status::Error(hr::kUnexpected, "The calendar window is not open");
  // Still loading (a message box of the load may be up): the window comes to
  // the front by itself once it is shown.
  if (loading_) return Status::Ok();
  return window_->BringToFront();
}

namespace {
template <typename T>
Status Bind(platform::FormWindow& window, const char* name, T*& slot) {
  slot = dynamic_cast<T*>(window.FindControl(name));
  if (slot == nullptr) {
    return Status::Fail(std::string("The calendar window has no control named ") + name);
  }
  return Status::Ok();
}
}  // namespace

Status frmCalendarInfo::BindControls() {
  platform::FormWindow& w = *window_;
  AGENDIA_RETURN_IF_ERROR(Bind(w, "tvInfo", tvInfo));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "txtHour", txtHour));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "txtMinute", txtMinute));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "cboIntrval", cboIntrval));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "txtEndDay", txtEndDay));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "txtTitle", txtTitle));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "txtContent", txtContent));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "btnAdd", btnAdd));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "btnDelete", btnDelete));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "btnModify", btnModify));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "btnSave", btnSave));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "btnExit", btnExit));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "VXLabel1", VXLabel1));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblEndDay", lblEndDay));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblHour", lblHour));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblAlert", lblAlert));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblContent", lblContent));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblTopic", lblTopic));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "lblCurrDay", lblCurrDay));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "wk", wk));
  AGENDIA_RETURN_IF_ERROR(Bind(w, "VXFrmCaptionMgr", VXFrmCaptionMgr));
  btnExit->OnClick([this] {
    RunHandler("btnExit_Click", [this] {
      btnExit_Click();
      return Status::Ok();
    });
  });
  tvInfo->OnNodeClick([this](const platform::TreeNode& node) {
    RunHandler("tvInfo_NodeClick", [&] {
      tvInfo_NodeClick(node);
      return Status::Ok();
    });
  });
  BindEditingEvents();
  return Status::Ok();
}

// Start-up: nothing selected, captions and interval list, the memo tree, the
// weekday, then the editor and every button but Add and Exit disabled. The
// window is not visible yet; the portal becomes its owner before it is, so
// that the window system places and stacks it with the portal from the
// first moment.
Status frmCalendarInfo::Form_Load() {
  loading_ = true;
  struct LoadEnds {
    bool& loading;
    ~LoadEnds() { loading = false; }
  } load_ends{loading_};
  m_cMsgID.clear();
  m_nEditMode = 0;
  window_->UseLanguage(lanuage);
  AGENDIA_RETURN_IF_ERROR(SetCaptions());
  NameControls();
  AGENDIA_RETURN_IF_ERROR(LoadMemoTree());
  SetWeekdayLabel();
  EnableEditFields(false);
  cboIntrval->SetEnabled(false);
  btnDelete->SetEnabled(false);
  btnModify->SetEnabled(false);
  btnSave->SetEnabled(false);
  // Guarded as at activation: a window system that refuses the owner must
  // not keep the window from opening.
  RunHandler("Form_Load", [this] {
    SetPortalOwner();
    return Status::Ok();
  });
  return Status::Ok();
}

// The layout is fixed; a resize only gives every control its language font.
void frmCalendarInfo::Form_Resize() {
  RunHandler("Form_Resize", [this] {
    const int16_t last = static_cast<int16_t>(window_->ControlCount() - 1);
    for (int16_t i = 0; i <= last; ++i) ApplyFontRule(window_->ControlAt(i));
    return Status::Ok();
  });
}

// Each activation makes the portal window the owner of this window again.
void frmCalendarInfo::Form_Activate() {
  RunHandler("Form_Activate", [this] {
    SetPortalOwner();
    return Status::Ok();
  });
}

void frmCalendarInfo::SetPortalOwner() {
  if (pub::g_hPortal != 0) {
    pub::SetWindowOwner(*platform_->window_system, window_->Handle(), pub::g_hPortal);
  }
}

void frmCalendarInfo::Form_Unload() { pub::g_bFormOpen = 0; }

void frmCalendarInfo::btnExit_Click() { window_->Unload(); }

}  // namespace agendia
