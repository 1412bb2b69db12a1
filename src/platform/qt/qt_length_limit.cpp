#include "platform/qt/qt_length_limit_p.h"

#include <QTextCursor>
#include <QTextDocument>

namespace agendia::platform::qt {

int CharacterCount(const QString& text) {
  int count = 0;
  for (int i = 0; i < text.size(); ++i) {
    if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())) ++count;
  }
  return count;
}

QString FirstCharacters(const QString& text, int count) {
  int units = 0;
  for (int seen = 0; units < text.size() && seen < count; ++seen) {
    units += text.at(units).isHighSurrogate() && units + 1 < text.size() &&
                     text.at(units + 1).isLowSurrogate()
                 ? 2
                 : 1;
  }
  return text.left(units);
}

namespace {
// The number of UTF-16 units that the last `characters` characters before
// `end` take in `text`.
int UnitsBefore(const QString& text, int end, int characters) {
  int start = end;
  for (int i = 0; i < characters && start > 0; ++i) {
    --start;
    if (text.at(start).isLowSurrogate() && start > 0 && text.at(start - 1).isHighSurrogate()) --start;
  }
  return end - start;
}
}  // namespace

QValidator::State LengthValidator::validate(QString& input, int& pos) const {
  const int excess = limit_.Excess(CharacterCount(input));
  if (excess > 0) {
    const int end = pos < excess ? input.size() : pos;
    const int units = UnitsBefore(input, end, excess);
    input.remove(end - units, units);
    if (pos > end - units) pos = end - units;
  }
  return Acceptable;
}

LimitedPlainTextEdit::LimitedPlainTextEdit(int max_characters, QWidget* parent)
    : QPlainTextEdit(parent), limit_(max_characters) {
  if (max_characters > 0) connect(this, &QPlainTextEdit::textChanged, this, [this] { CutAfterEdit(); });
}

void LimitedPlainTextEdit::SetProgramText(const QString& text) {
  setting_ = true;
  setPlainText(text);
  document()->setModified(false);
  setting_ = false;
  limit_.Holds(CharacterCount(text));
}

void LimitedPlainTextEdit::insertFromMimeData(const QMimeData* source) {
  if (limit_.max() <= 0 || source == nullptr || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  QTextCursor cursor = textCursor();
  const int kept = CharacterCount(toPlainText()) - CharacterCount(cursor.selectedText());
  const QString text = FirstCharacters(source->text(), limit_.Room(kept));
  if (text.isEmpty() && !cursor.hasSelection()) return;
  cursor.insertText(text);
  setTextCursor(cursor);
  ensureCursorVisible();
}

// Characters beyond the limit go from just before the cursor, which stands
// at the end of whatever came in.
void LimitedPlainTextEdit::CutAfterEdit() {
  if (setting_) return;
  const QString text = document()->toRawText();
  const int excess = limit_.Excess(CharacterCount(text));
  if (excess > 0) {
    QTextCursor cursor = textCursor();
    const int end = cursor.position() < excess ? text.size() : cursor.position();
    const int units = UnitsBefore(text, end, excess);
    cursor.setPosition(end - units);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
}

}  // namespace agendia::platform::qt
