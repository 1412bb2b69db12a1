#include "platform/qt/qt_form_dialog_p.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>

namespace agendia::platform::qt {

FormDialog::FormDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
  setSizeGripEnabled(false);
}

FormDialog::~FormDialog() {
  if (loop_ != nullptr) loop_->quit();
}

void FormDialog::RunModal() {
  if (close_requested_) return;
  setWindowModality(Qt::ApplicationModal);
  MoveToScreenCentre();
  show();
  MoveToScreenCentre();  // again, now that the frame may be known
  if (close_requested_ && isVisible()) close();
  if (!isVisible()) return;
  QEventLoop loop;
  loop_ = &loop;
  QPointer<FormDialog> alive(this);
  loop.exec(QEventLoop::DialogExec);
  if (alive) loop_ = nullptr;
}

void FormDialog::RequestClose() {
  if (isVisible() && loop_ != nullptr) {
    close();
  } else {
    close_requested_ = true;
  }
}

void FormDialog::setVisible(bool visible) {
  QDialog::setVisible(visible);
  if (!visible && loop_ != nullptr) loop_->quit();
}

bool FormDialog::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && on_activated) {
    auto handler = on_activated;
    handler();
  }
  return QDialog::event(event);
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    if (cancel_ && cancel_->isVisible() && cancel_->isEnabled()) cancel_->click();
    event->accept();
    return;
  }
  // The dialog has no default button: Enter presses the button that has the
  // focus, as on Windows, and in any other control it does nothing.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
    if (focused != nullptr && focused->isEnabled() && focused->isVisible()) focused->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FormDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (on_resized) {
    auto handler = on_resized;
    handler();
  }
}

// Places the frame's centre on the centre of the screen's available area.
// Until the window is shown its frame is taken to be its client area.
void FormDialog::MoveToScreenCentre() {
  const QScreen* current = screen();
  if (current == nullptr) return;
  const QRect available = current->availableGeometry();
  const QSize frame = frameGeometry().size();
  move(available.x() + (available.width() - frame.width()) / 2,
       available.y() + (available.height() - frame.height()) / 2);
}

}  // namespace agendia::platform::qt
