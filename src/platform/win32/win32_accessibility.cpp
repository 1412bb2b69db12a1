#include "platform/win32/win32_controls_p.h"

#include "platform/win32/wide_text.h"

#include <initguid.h>  // defines the identifiers oleacc.h declares, in this file only
#include <oleacc.h>

namespace agendia::platform::win32 {
namespace {

// The system's annotation service, created once per thread (it is an
// apartment object of the host's thread). Null where the system lacks it:
// the control then keeps the name of the label before it.
IAccPropServices* AnnotationService() {
  thread_local struct Service {
    IAccPropServices* object = nullptr;
    Service() {
      if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, reinterpret_cast<void**>(&object)))) {
        object = nullptr;
      }
    }
    ~Service() {
      if (object) object->Release();
    }
  } service;
  return service.object;
}

}  // namespace

void Win32ControlBase::SetAccessibleName(const std::string& name) {
  accessible_name_ = name;
  if (!Alive()) return;
  IAccPropServices* service = AnnotationService();
  if (service == nullptr) return;
  const std::wstring wide = Widen(name);
  annotated_ = SUCCEEDED(service->SetHwndPropStr(window(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                 PROPID_ACC_NAME, wide.c_str()));
}

void Win32ControlBase::ClearAccessibleName() {
  if (!annotated_ || !Alive()) return;
  annotated_ = false;
  if (IAccPropServices* service = AnnotationService()) {
    MSAAPROPID name = PROPID_ACC_NAME;
    service->ClearHwndProps(window(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
}

void Win32Label::SetBuddy(Control* described) {
  auto* control = dynamic_cast<Win32ControlBase*>(described);
  if (!Alive() || control == nullptr || control->window() == nullptr || control->window() == window()) return;
  // The host's labels are drawn beneath every control. A label that reaches
  // into the control it names stays beneath, or it would paint over the
  // control's edge; that control is named by an annotation of its own.
  RECT label{}, field{}, overlap{};
  GetWindowRect(window(), &label);
  GetWindowRect(control->window(), &field);
  if (IntersectRect(&overlap, &label, &field)) return;
  HWND before = GetWindow(control->window(), GW_HWNDPREV);
  if (before == window()) return;
  SetWindowPos(window(), before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace agendia::platform::win32
