#include "platform/win32/win32_form_window_p.h"
#include "platform/win32/win32_p.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/wide_text.h"

namespace agendia::platform {
namespace win32 {
namespace {

// The common controls need registering once per process before a tree view
// or combo box can be created.
class NothingToKeep final : public UiRuntimeLease {};

class Win32Toolkit final : public Toolkit {
 public:
  StatusOr<std::unique_ptr<UiRuntimeLease>> AcquireRuntime() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
      return Status::Error(hr::kUnexpected, "The common controls cannot be initialised");
    }
    return std::unique_ptr<UiRuntimeLease>(std::make_unique<NothingToKeep>());
  }

  StatusOr<std::unique_ptr<FormWindow>> CreateForm(const FormDesign& design) override {
    auto created = Win32FormWindow::Create(design);
    if (!created.ok()) return created.status();
    return std::unique_ptr<FormWindow>(std::move(created).value());
  }

  // Modal to the window that is active on this thread (the calendar window
  // while it is open), so that it blocks that window as the host's box does.
  void MessageBox(const std::string& text, int style,
                  const std::optional<std::string>& caption) override {
    const std::wstring title = Widen(caption.value_or(kDefaultApplicationTitle));
    UINT flags = MB_OK | MB_SETFOREGROUND;
    if (style == mb::kExclamation) flags |= MB_ICONEXCLAMATION;
    if (style == mb::kInformation) flags |= MB_ICONINFORMATION;
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), title.c_str(), flags);
  }
};

}  // namespace
}  // namespace win32

std::unique_ptr<Toolkit> MakeWin32Toolkit() { return std::make_unique<win32::Win32Toolkit>(); }

}  // namespace agendia::platform
