#pragma once

#include "platform/form_window.h"
#include "platform/modal_show.h"
#include "platform/qt/qt_form_dialog_p.h"

#include <QPointer>
#include <QTranslator>

#include <memory>
#include <string>
#include <vector>

namespace agendia::platform::qt {

// A FormWindow over a FormDialog. Building needs a running QApplication. The
// dialog is deleted when ShowModal returns, whether the window was shown or
// its load failed, or with this object if it was never shown; the control
// adapters stay and do nothing from then on.
class QtFormWindow final : public FormWindow {
 public:
  explicit QtFormWindow(const FormDesign& design);
  ~QtFormWindow() override;

  WindowHandle Handle() const override;
  int ControlCount() const override { return static_cast<int>(controls_.size()); }
  Control* ControlAt(int index) override;
  Control* FindControl(const std::string& name) override;
  Status ShowModal(FormEvents& events) override;
  void Unload() override;
  Status BringToFront() override;
  std::string Title() const override;
  // Installs Qt's own translation for zh-cn and zh-tw until the dialog goes.
  void UseLanguage(const std::string& language) override;

 private:
  void Build(const FormDesign& design);
  void DestroyDialog();
  void RemoveTranslators();

  QPointer<FormDialog> dialog_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<QPointer<QWidget>> styled_;  // the widgets drawn in the dialog's own style
  std::vector<std::unique_ptr<QTranslator>> translators_;
  std::string title_;  // kept for Title() after unload
  ModalShow show_;  // a window is shown once
};

}  // namespace agendia::platform::qt
