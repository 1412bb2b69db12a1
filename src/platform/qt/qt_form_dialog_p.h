#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>

#include <functional>

class QEventLoop;

namespace agendia::platform::qt {

// The dialog of a form: a fixed frame, Escape presses the cancel button (and
// nothing else closes the dialog on Escape), Enter presses only a focused
// button, and a modal loop that ends however the dialog is hidden or
// destroyed.
class FormDialog final : public QDialog {
  Q_OBJECT

 public:
  FormDialog();
  ~FormDialog() override;

  void SetCancelButton(QAbstractButton* button) { cancel_ = button; }

  // Called on every resize and every activation; empty by default.
  std::function<void()> on_resized;
  std::function<void()> on_activated;

  // Shows the dialog application-modal, centred on its screen, and returns
  // when it has been hidden. Returns at once when a close was requested
  // before the dialog could be shown.
  void RunModal();

  // Closes the dialog as its close box does. Asked before the dialog is
  // visible (while it loads or is being shown), the close happens as soon as
  // it can, and the dialog is not left open.
  void RequestClose();

  void setVisible(bool visible) override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void MoveToScreenCentre();

  QPointer<QAbstractButton> cancel_;
  QEventLoop* loop_ = nullptr;
  bool close_requested_ = false;
};

}  // namespace agendia::platform::qt
