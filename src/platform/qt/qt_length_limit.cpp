#include "platform/qt/qt_length_limit_p.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace agendia::platform::qt {

namespace {
std::u16string_view Units(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}
}  // namespace

int CharacterCount(const QString& text) { return platform::CharacterCount(Units(text)); }

QString FirstCharacters(const QString& text, int count) {
  return text.left(static_cast<qsizetype>(UnitsOfFirstCharacters(Units(text), count)));
}

QValidator::State LengthValidator::validate(QString& input, int& pos) const {
  const LengthCut cut = CutOverLimit(Units(input), static_cast<std::size_t>(std::max(pos, 0)), limit_);
  if (cut.units > 0) {
    const auto start = static_cast<qsizetype>(cut.start);
    input.remove(start, static_cast<qsizetype>(cut.units));
    if (pos > start) pos = static_cast<int>(start);
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
  QTextCursor cursor = textCursor();
  const LengthCut cut = CutOverLimit(Units(text), static_cast<std::size_t>(cursor.position()), limit_);
  if (cut.units > 0) {
    cursor.setPosition(static_cast<int>(cut.start));
    cursor.setPosition(static_cast<int>(cut.start + cut.units), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
}

}  // namespace agendia::platform::qt
