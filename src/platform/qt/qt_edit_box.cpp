#include "platform/qt/qt_edit_box_p.h"

#include "platform/qt/qt_key_codes_p.h"
#include "platform/qt/qt_text_p.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace agendia::platform::qt {
namespace {

// The text of an edited multi-line box as the host's Windows programs write
// it: each line break CR LF. The raw text keeps what the plain text would
// change (a no-break space, a line separator U+2028); only the paragraph
// breaks, which every typed or pasted line end becomes, are written out.
std::string EditedMultiLineText(const QTextDocument& document) {
  QString text = document.toRawText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return ToStdString(text);
}

}  // namespace

bool EditEventFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      return FilterKeyPress(watched, *static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
      const auto& key = *static_cast<QKeyEvent*>(event);
      if (key_up && !key.isAutoRepeat()) {
        auto handler = key_up;
        handler(VirtualKeyCode(key.key()), ShiftState(key.modifiers()));
      }
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (mouse_down) RaiseMouse(mouse_down, *static_cast<QMouseEvent*>(event));
      return false;
    }
    case QEvent::MouseButtonRelease:
      return FilterMouseRelease(watched, *static_cast<QMouseEvent*>(event));
    case QEvent::ContextMenu:
      return FilterContextMenu(watched, *static_cast<QContextMenuEvent*>(event));
    default:
      return false;
  }
}

void EditEventFilter::RaiseMouse(const MouseHandler& handler, const QMouseEvent& mouse) {
  auto call = handler;
  call(MouseButtonCode(mouse.button()), ShiftState(mouse.modifiers()),
       static_cast<float>(mouse.position().x()), static_cast<float>(mouse.position().y()));
}

// The widget handles a release first, then the handler hears of it: a
// release can change the text itself (the middle button pastes the selection
// on X11), and the handler must see the text the mouse left behind.
bool EditEventFilter::FilterMouseRelease(QObject* watched, QMouseEvent& event) {
  if (replaying_ || !mouse_up) return false;
  replaying_ = true;
  QCoreApplication::sendEvent(watched, &event);
  replaying_ = false;
  RaiseMouse(mouse_up, event);
  return true;
}

// A command of the mouse's context menu (a paste) changes the text after the
// mouse button's release, with no key: the handler hears of it as another
// release once the command has run, as it does in the Win32 window. The
// keyboard's menu belongs to no mouse action and raises nothing.
bool EditEventFilter::FilterContextMenu(QObject* watched, const QContextMenuEvent& event) {
  if (!mouse_up || event.reason() != QContextMenuEvent::Mouse) return false;
  QMenu* menu = nullptr;
  if (auto* line = qobject_cast<QLineEdit*>(watched)) {
    menu = line->createStandardContextMenu();
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(watched->parent())) {
    menu = multi->createStandardContextMenu(event.pos());
  }
  if (menu == nullptr) return false;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QPointF position = event.pos();
  connect(menu, &QMenu::triggered, this, [this, position] {
    QMetaObject::invokeMethod(
        this,
        [this, position] {
          if (!mouse_up) return;
          auto handler = mouse_up;
          handler(MouseButtonCode(Qt::RightButton), 0, static_cast<float>(position.x()),
                  static_cast<float>(position.y()));
        },
        Qt::QueuedConnection);
  });
  menu->popup(event.globalPos());
  return true;
}

bool EditEventFilter::FilterKeyPress(QObject* watched, QKeyEvent& event) {
  if (replaying_ || !key_press) return false;
  const int16_t typed = KeyPressCode(event);
  if (typed == 0) return false;
  int16_t code = typed;
  auto handler = key_press;
  handler(code);
  if (code == typed) return false;
  if (code == 0) return true;
  // The handler put another character in place of the typed one.
  const auto unit = static_cast<char16_t>(code);
  const int key = unit == 8 ? Qt::Key_Backspace : unit == 13 ? Qt::Key_Return : Qt::Key_unknown;
  QKeyEvent replacement(QEvent::KeyPress, key, event.modifiers(), QString(QChar(unit)),
                        event.isAutoRepeat());
  replaying_ = true;
  QCoreApplication::sendEvent(watched, &replacement);
  replaying_ = false;
  return true;
}

QtEditBox::QtEditBox(const ControlDesign& design, QLineEdit* line)
    : QtControlBase(design.name, design.kind, line, design.font),
      max_length_(design.max_length),
      multi_line_(false),
      line_(line),
      filter_(new EditEventFilter(line)) {
  KeepTextReadableWhenDisabled(*line);
  if (max_length_ > 0) {
    validator_ = new LengthValidator(max_length_, line);
    line->setValidator(validator_);
  }
  SetText(design.design_text);
  line->installEventFilter(filter_);
}

QtEditBox::QtEditBox(const ControlDesign& design, LimitedPlainTextEdit* multi)
    : QtControlBase(design.name, design.kind, multi, design.font),
      max_length_(design.max_length),
      multi_line_(true),
      multi_(multi),
      filter_(new EditEventFilter(multi)) {
  multi->setTabChangesFocus(true);
  KeepTextReadableWhenDisabled(*multi);
  SetText(design.design_text);
  multi->installEventFilter(filter_);
  multi->viewport()->installEventFilter(filter_);  // mouse events arrive here
}

QWidget* QtEditBox::widget() const {
  if (line_) return line_;
  return multi_;
}

// Until the user edits it, a box gives back exactly the text it was given
// (line ends, spaces of every kind, bytes that are no UTF-8): a memo that is
// only shown, or modified in another field, is saved as it was stored.
std::string QtEditBox::Text() const {
  // A line edit forgets that it was edited whenever its validator trims an
  // edit, so it is asked for what it shows instead.
  if (line_) return line_->text() == ToQString(shown_) ? shown_ : ToStdString(line_->text());
  if (multi_) return multi_->document()->isModified() ? EditedMultiLineText(*multi_->document()) : shown_;
  return {};
}

// Setting the text a box already gives changes nothing: Qt's setters would
// still move the cursor to the end (QLineEdit) or the start (QPlainTextEdit),
// drop the selection and the undo history. The time fields put their text
// back on every mouse release, and a click must leave the cursor where it
// put it.
void QtEditBox::SetText(const std::string& text) {
  if ((line_ || multi_) && Text() == text) return;
  shown_ = text;
  const QString value = ToQString(text);
  if (line_) {
    // Before setText, which runs the validator too.
    if (validator_) validator_->limit().Holds(CharacterCount(value));
    line_->setText(value);
  }
  if (multi_) multi_->SetProgramText(value);
}

bool QtEditBox::Enabled() const {
  QWidget* edit = widget();
  return edit != nullptr && edit->isEnabled();
}

void QtEditBox::SetEnabled(bool enabled) {
  if (QWidget* edit = widget()) edit->setEnabled(enabled);
}

void QtEditBox::SetFocus() {
  if (QWidget* edit = widget()) edit->setFocus(Qt::OtherFocusReason);
}

void QtEditBox::OnKeyPress(KeyPressHandler handler) {
  if (filter_) filter_->key_press = std::move(handler);
}

void QtEditBox::OnKeyUp(KeyUpHandler handler) {
  if (filter_) filter_->key_up = std::move(handler);
}

void QtEditBox::OnMouseDown(MouseHandler handler) {
  if (filter_) filter_->mouse_down = std::move(handler);
}

void QtEditBox::OnMouseUp(MouseHandler handler) {
  if (filter_) filter_->mouse_up = std::move(handler);
}

}  // namespace agendia::platform::qt
