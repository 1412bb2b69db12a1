#include "platform/qt/qt_platform.h"

#include <QWidget>
#include <QWindow>

namespace agendia::platform {
namespace {

QWidget* FindWidget(WindowHandle handle) {
  if (handle == 0) return nullptr;
  return QWidget::find(static_cast<WId>(static_cast<uint32_t>(handle)));
}

WindowHandle HandleOf(const QWidget* widget) {
  return static_cast<WindowHandle>(widget->winId());
}

// The top-level native window of `widget`, created if it does not exist yet.
QWindow* TopLevelWindowOf(QWidget* widget) {
  QWidget* top = widget->window();
  top->winId();
  return top->windowHandle();
}

class QtWindowSystem final : public WindowSystem {
 public:
  WindowHandle GetParent(WindowHandle window) override {
    QWidget* widget = FindWidget(window);
    if (widget == nullptr || widget->isWindow() || widget->parentWidget() == nullptr) return 0;
    return HandleOf(widget->parentWidget());
  }

  // Like the Win32 call, this reports the window's own disabled flag, not
  // whether a disabled ancestor blocks it.
  bool EnableWindow(WindowHandle window, bool enable) override {
    QWidget* widget = FindWidget(window);
    if (widget == nullptr) return false;
    const bool was_disabled = widget->testAttribute(Qt::WA_Disabled);
    widget->setEnabled(enable);
    return was_disabled;
  }

  // The owner relation is the transient parent of the native window. An owner
  // handle that names no widget leaves the relation as it is.
  WindowHandle SetWindowOwner(WindowHandle window, WindowHandle owner) override {
    QWidget* widget = FindWidget(window);
    if (widget == nullptr) return 0;
    QWindow* native = TopLevelWindowOf(widget);
    if (native == nullptr) return 0;
    QWindow* previous = native->transientParent();
    const WindowHandle previous_handle =
        previous != nullptr ? static_cast<WindowHandle>(previous->winId()) : 0;
    if (owner == 0) {
      native->setTransientParent(nullptr);
    } else if (QWidget* owner_widget = FindWidget(owner)) {
      QWindow* owner_native = TopLevelWindowOf(owner_widget);
      if (owner_native != native) native->setTransientParent(owner_native);
    }
    return previous_handle;
  }
};

}  // namespace

std::unique_ptr<WindowSystem> MakeQtWindowSystem() { return std::make_unique<QtWindowSystem>(); }

}  // namespace agendia::platform
