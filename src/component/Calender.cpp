#include "component/Calender.h"

#include "base/no_throw.h"
#include "component/calender_dispatch.h"
#include "form/frmCalendarInfo.h"
#include "form/pub.h"

#include <utility>

namespace agendia {
namespace {

using base::CallWithoutThrowing;

Status NullPointer(const char* member, const char* parameter) {
  return Status::Error(hr::kPointer,
                       std::string(member) + ": the pointer " + parameter + " is null");
}

}  // namespace

ComPtr<Calender> Calender::Create(std::shared_ptr<const platform::Platform> platform) {
  return ComPtr<Calender>::Adopt(new Calender(std::move(platform)));
}

Calender::Calender(std::shared_ptr<const platform::Platform> platform)
    : platform_(std::move(platform)) {}

Calender::~Calender() = default;

// IUnknown ------------------------------------------------------------------

Status Calender::QueryInterface(const Guid& iid, void** object) {
  if (!object) return NullPointer("QueryInterface", "object");
  *object = nullptr;
  // Each interface pointer is handed out as its own type, so the caller may
  // cast the void* straight back to the interface it asked for.
  if (iid == iid::kIUnknown) *object = static_cast<IUnknown*>(this);
  if (iid == iid::kIDispatch) *object = static_cast<IDispatch*>(this);
  if (iid == iid::k_Calender) *object = static_cast<_Calender*>(this);
  if (*object) {
    AddRef();
    return Status::Ok();
  }
  return CallWithoutThrowing("QueryInterface", [&] {
    return Status::Error(hr::kNoInterface, "Calender has no interface " + iid.ToString());
  });
}

// IDispatch -----------------------------------------------------------------

Status Calender::GetTypeInfoCount(uint32_t* count) {
  if (!count) return NullPointer("GetTypeInfoCount", "count");
  *count = 0;
  return Status::Ok();
}

Status Calender::GetTypeInfo(uint32_t /*index*/, uint32_t /*lcid*/, void** type_info) {
  if (type_info) *type_info = nullptr;
  return Status::Error(hr::kNotImplemented, "Calender provides no type information");
}

Status Calender::GetIDsOfNames(const std::string& name, DispId* dispid) {
  return CallWithoutThrowing("GetIDsOfNames",
                             [&] { return component::CalenderDispIdOfName(name, dispid); });
}

Status Calender::Invoke(DispId dispid, uint16_t flags, std::vector<Variant>& args,
                        Variant* result) {
  return CallWithoutThrowing(
      "Invoke", [&] { return component::InvokeCalender(*this, dispid, flags, args, result); });
}

// _Calender -----------------------------------------------------------------

Status Calender::put_PortHwnd(int32_t hwnd) {
  return CallWithoutThrowing("PortHwnd", [&] {
    if (hwnd != 0) pub::g_hPortal = platform_->window_system->GetParent(hwnd);
    return Status::Ok();
  });
}

Status Calender::GetPortalHwnd(int32_t vData, int32_t* result) {
  if (!result) return NullPointer("GetPortalHwnd", "result");
  return CallWithoutThrowing("GetPortalHwnd", [&] {
    platform::WindowSystem& windows = *platform_->window_system;
    platform::WindowHandle top = 0;
    if (vData != 0) {
      for (platform::WindowHandle p = windows.GetParent(vData); p != 0; p = windows.GetParent(p)) {
        top = p;
      }
    }
    pub::g_hPortal = top;
    *result = top;
    return Status::Ok();
  });
}

Status Calender::get_PortalEnabled(int16_t* result) {
  if (!result) return NullPointer("PortalEnabled", "result");
  *result = m_bPortalEnabled;
  return Status::Ok();
}

Status Calender::put_PortalEnabled(int16_t value) {
  return CallWithoutThrowing("PortalEnabled", [&] {
    m_bPortalEnabled = value != 0 ? int16_t{-1} : int16_t{0};
    // Whether the window could be enabled is deliberately not reported.
    platform_->window_system->EnableWindow(pub::g_hPortal, value != 0);
    return Status::Ok();
  });
}

Status Calender::CalenderDesign(std::string* VxDbName, std::string* cUserID,
                                std::string* cAcc_ID, std::string* cIYear, std::string* dayCurr,
                                std::string* language) {
  const std::pair<std::string*, const char*> parameters[] = {
      {VxDbName, "VxDbName"}, {cUserID, "cUserID"}, {cAcc_ID, "cAcc_ID"},
      {cIYear, "cIYear"},     {dayCurr, "dayCurr"}, {language, "language"}};
  for (const auto& [pointer, name] : parameters) {
    if (!pointer) return NullPointer("CalenderDesign", name);
  }

  if (pub::g_bFormOpen != 0) {
    // A window is open on this thread. If it is ours, bring it forward;
    // another object's window is left alone. Either way nothing changes.
    return CallWithoutThrowing("CalenderDesign", [&] {
      if (m_frmCalendar && m_frmCalendar->Window() != nullptr) return m_frmCalendar->ZOrder();
      return Status::Ok();
    });
  }

  pub::g_bFormOpen = -1;
  // The caller may release this object while its window is open; it must
  // live until the window has closed.
  ComPtr<Calender> keep_alive(this);
  Status status = CallWithoutThrowing("CalenderDesign", [&] {
    return OpenNewWindow(*VxDbName, *cUserID, *cAcc_ID, *cIYear, *dayCurr, *language);
  });
  // Only the window's unload clears the flag; a start that failed has no
  // window to unload, so the flag is cleared here and the next call tries
  // afresh.
  if (!status.ok()) pub::g_bFormOpen = 0;
  return status;
}

Status Calender::OpenNewWindow(const std::string& VxDbName, const std::string& cUserID,
                               const std::string& cAcc_ID, const std::string& cIYear,
                               const std::string& dayCurr, const std::string& language) {
  auto window = std::make_shared<frmCalendarInfo>(platform_);
  m_frmCalendar = window;  // releases the window of an earlier start
  window->g_cConn = VxDbName;
  window->g_cUser = cUserID;
  window->g_cAccId = cAcc_ID;
  window->g_nYear = cIYear;
  window->dayCurr = dayCurr;
  window->lanuage = language;
  return window->Show(1);
}

}  // namespace agendia
