#include "platform/win32/win32_controls_p.h"

#include "platform/win32/wide_text.h"

#include <initguid.h>  // defines the identifiers oleacc.h declares, in this file only
#include <oleacc.h>

namespace agendia::platform::win32 {
namespace {

// The system's annotation service, for one call. It is not kept: a
// reference held past the host's CoUninitialize would be released into a
// torn-down apartment. Null where the system lacks it: the control then keeps
// the name of the label before it.
class AnnotationService {
 public:
  AnnotationService() {
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&object_)))) {
      object_ = nullptr;
    }
  }
  ~AnnotationService() {
    if (object_) object_->Release();
  }
  AnnotationService(const AnnotationService&) = delete;
  AnnotationService& operator=(const AnnotationService&) = delete;
  IAccPropServices* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  IAccPropServices* object_ = nullptr;
};

}  // namespace

void Win32ControlBase::SetAccessibleName(const std::string& name) {
  accessible_name_ = name;
  if (!Alive()) return;
  AnnotationService service;
  if (!service) return;
  const std::wstring wide = Widen(name);
  annotated_ = SUCCEEDED(service->SetHwndPropStr(window(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                                 PROPID_ACC_NAME, wide.c_str()));
}

void Win32ControlBase::ClearAccessibleName() {
  if (!annotated_ || !Alive()) return;
  annotated_ = false;
  if (AnnotationService service; service) {
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
