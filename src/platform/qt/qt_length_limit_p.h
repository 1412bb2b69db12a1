#pragma once

#include <QMimeData>
#include <QPlainTextEdit>
#include <QString>
#include <QValidator>

namespace agendia::platform::qt {

// Characters as a person counts them: a character outside the basic plane is
// one, not two UTF-16 units.
int CharacterCount(const QString& text);
// The first `count` characters of `text`, never half of one.
QString FirstCharacters(const QString& text, int count);

// The length limit of an edit box, in whole characters. It bounds what the
// user types, pastes, drops or composes; a text the program sets is shown
// whole, and until the program sets another, the user may edit it up to its
// own length.
class LengthLimit {
 public:
  explicit LengthLimit(int max_characters) : max_(max_characters) {}
  int max() const { return max_; }
  // The program set a text of `characters` characters.
  void Holds(int characters) { allowed_ = max_ > 0 && characters > max_ ? characters : max_; }
  // How many characters an edit that leaves `characters` must lose.
  int Excess(int characters) const { return max_ > 0 && characters > allowed_ ? characters - allowed_ : 0; }
  // How many characters of an insertion fit, where `kept` stay besides it.
  int Room(int kept) const { return max_ > 0 ? (kept >= allowed_ ? 0 : allowed_ - kept) : -1; }

 private:
  int max_;
  int allowed_ = max_;
};

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
