#pragma once

#include "platform/qt/qt_control_base_p.h"
#include "platform/qt/qt_length_limit_p.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>

#include <string>

namespace agendia::platform::qt {

// Raises an edit box's key and mouse events from the events of its widget.
// Key press sees typed keys only: pasted, dropped and input-method text does
// not pass through it.
class EditEventFilter final : public QObject {
  Q_OBJECT

 public:
  explicit EditEventFilter(QObject* parent) : QObject(parent) {}

  KeyPressHandler key_press;
  KeyUpHandler key_up;
  MouseHandler mouse_down;
  MouseHandler mouse_up;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Returns true when the key is consumed (discarded or replaced).
  bool FilterKeyPress(QObject* watched, QKeyEvent& event);
  // Delivers the release to the widget, then raises mouse_up; returns true.
  bool FilterMouseRelease(QObject* watched, QMouseEvent& event);
  // Opens the box's menu for the mouse; returns false for the keyboard's.
  bool FilterContextMenu(QObject* watched, const QContextMenuEvent& event);
  static void RaiseMouse(const MouseHandler& handler, const QMouseEvent& mouse);

  bool replaying_ = false;
};

// EDITLib.Edit: a QLineEdit, or a LimitedPlainTextEdit when multi-line. The
// maximum length, in whole characters, holds for typed, pasted and dropped
// text alike, and never cuts text the program sets.
class QtEditBox final : public QtControlBase, public EditBox {
 public:
  QtEditBox(const ControlDesign& design, QLineEdit* line);
  QtEditBox(const ControlDesign& design, LimitedPlainTextEdit* multi);

  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void SetFocus() override;
  int MaxLength() const override { return max_length_; }
  bool MultiLine() const override { return multi_line_; }
  void OnKeyPress(KeyPressHandler handler) override;
  void OnKeyUp(KeyUpHandler handler) override;
  void OnMouseDown(MouseHandler handler) override;
  void OnMouseUp(MouseHandler handler) override;

 private:
  QWidget* widget() const;

  const int max_length_;
  const bool multi_line_;
  QPointer<QLineEdit> line_;
  QPointer<LimitedPlainTextEdit> multi_;
  QPointer<EditEventFilter> filter_;
  QPointer<LengthValidator> validator_;
  std::string shown_;  // the text last set by the program, byte for byte
};

}  // namespace agendia::platform::qt
