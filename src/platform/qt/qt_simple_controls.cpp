#include "platform/qt/qt_simple_controls_p.h"

#include "platform/qt/qt_text_p.h"

#include <QEvent>

#include <algorithm>
#include <utility>

namespace agendia::platform::qt {

void FittingLabel::KeepDesignHeight() {
  design_height_ = height();
  Fit();
}

void FittingLabel::Fit() {
  if (design_height_ < 0) return;
  // Measuring loads the font. A window being built or opened sets its fonts
  // one property at a time, so a label not on screen waits until it is shown
  // and is measured once, in the font it has then.
  if (!isVisible()) {
    fit_pending_ = true;
    return;
  }
  fit_pending_ = false;
  const int needed = text().isEmpty() ? 0 : heightForWidth(width());
  const int fitted = std::max(design_height_, needed);
  if (fitted != height()) resize(width(), fitted);
}

void FittingLabel::showEvent(QShowEvent* event) {
  if (fit_pending_) Fit();
  QLabel::showEvent(event);
}

void FittingLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) Fit();
}

QtLabel::QtLabel(const ControlDesign& design, FittingLabel* label)
    : QtControlBase(design.name, design.kind, label, design.font), label_(label) {
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  label->setText(ToQString(design.design_text));
}

std::string QtLabel::Caption() const { return label_ ? ToStdString(label_->text()) : std::string(); }

void QtLabel::SetCaption(const std::string& caption) {
  if (!label_) return;
  label_->setText(ToQString(caption));
  label_->Fit();
}

void QtLabel::SetBuddy(Control* described) {
  if (!label_) return;
  auto* field = dynamic_cast<QtControlBase*>(described);
  label_->setBuddy(field != nullptr ? field->Widget() : nullptr);
}

QtCaptionBar::QtCaptionBar(const ControlDesign& design, QDialog* dialog)
    : QtControlBase(design.name, design.kind, nullptr, design.font),
      dialog_(dialog),
      caption_(design.design_text) {}

void QtCaptionBar::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (dialog_) dialog_->setWindowTitle(ToQString(caption));
}

QtCommandButton::QtCommandButton(const ControlDesign& design, QPushButton* button)
    : QtControlBase(design.name, design.kind, button, design.font), button_(button) {
  button->setText(ToQString(design.design_text));
  // Qt makes every push button of a dialog an auto-default button, so that
  // Enter in any field would press the first of them.
  button->setAutoDefault(false);
  button->setDefault(false);
  // The adapter outlives the button, so the connection may capture it.
  QObject::connect(button, &QPushButton::clicked, button, [this] {
    if (!on_click_) return;
    auto handler = on_click_;  // the handler may replace itself
    handler();
  });
}

std::string QtCommandButton::Caption() const {
  return button_ ? ToStdString(button_->text()) : std::string();
}

void QtCommandButton::SetCaption(const std::string& caption) {
  if (button_) button_->setText(ToQString(caption));
}

bool QtCommandButton::Enabled() const { return button_ && button_->isEnabled(); }

void QtCommandButton::SetEnabled(bool enabled) {
  if (button_) button_->setEnabled(enabled);
}

void QtCommandButton::OnClick(std::function<void()> handler) { on_click_ = std::move(handler); }

QtComboBox::QtComboBox(const ControlDesign& design, QComboBox* combo)
    : QtControlBase(design.name, design.kind, combo, design.font), combo_(combo) {
  combo->setEditable(false);
  KeepTextReadableWhenDisabled(*combo);
}

void QtComboBox::Clear() {
  if (combo_) combo_->clear();
}

void QtComboBox::AddItem(const std::string& text) {
  if (!combo_) return;
  const int selected = combo_->currentIndex();
  combo_->addItem(ToQString(text));
  // QComboBox selects the first item added to an empty list; undo that.
  if (combo_->currentIndex() != selected) combo_->setCurrentIndex(selected);
}

int QtComboBox::ListCount() const { return combo_ ? combo_->count() : 0; }

int QtComboBox::ListIndex() const { return combo_ ? combo_->currentIndex() : -1; }

StatusOr<std::string> QtComboBox::List(int index) const {
  if (!combo_ || index < 0 || index >= combo_->count()) {
    return Status::Error(hr::kInvalidArg, "The combo box '" + Name() + "' has no item at position " +
                                              std::to_string(index));
  }
  return ToStdString(combo_->itemText(index));
}

void QtComboBox::SetText(const std::string& text) {
  if (!combo_) return;
  combo_->setCurrentIndex(
      combo_->findText(ToQString(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

std::string QtComboBox::Text() const {
  return combo_ ? ToStdString(combo_->currentText()) : std::string();
}

bool QtComboBox::Enabled() const { return combo_ && combo_->isEnabled(); }

void QtComboBox::SetEnabled(bool enabled) {
  if (combo_) combo_->setEnabled(enabled);
}

}  // namespace agendia::platform::qt
