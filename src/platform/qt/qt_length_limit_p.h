#pragma once

#include <QMimeData>
#include <QPlainTextEdit>
#include <QString>
#include <QValidator>

#include "platform/length_limit.h"

namespace agendia::platform::qt {

using platform::LengthLimit;

// The shared rule of platform/length_limit.h on a QString.
int CharacterCount(const QString& text);
// The first `count` characters of `text`, never half of one.
QString FirstCharacters(const QString& text, int count);

// The single-line box's limit: after every edit, characters beyond the limit
// are cut just before the cursor, where the edit ended. QLineEdit's own
// maximum length counts UTF-16 units and cuts text the program sets.
class LengthValidator final : public QValidator {
 public:
  LengthValidator(int max_characters, QObject* parent) : QValidator(parent), limit_(max_characters) {}
  State validate(QString& input, int& pos) const override;
  LengthLimit& limit() { return limit_; }

 private:
  LengthLimit limit_;
};

// The multi-line box. Pasted and dropped text is cut to the room left before
// it goes in, so a huge paste costs no more than a small one; typed and
// composed text is cut after the edit, like the single-line box.
class LimitedPlainTextEdit final : public QPlainTextEdit {
 public:
  LimitedPlainTextEdit(int max_characters, QWidget* parent);
  // Shows `text` whole, as not modified by the user.
  void SetProgramText(const QString& text);

 protected:
  void insertFromMimeData(const QMimeData* source) override;

 private:
  void CutAfterEdit();

  LengthLimit limit_;
  bool setting_ = false;
};

}  // namespace agendia::platform::qt
