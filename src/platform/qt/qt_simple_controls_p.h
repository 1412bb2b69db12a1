#pragma once

#include "platform/qt/qt_control_base_p.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <functional>
#include <string>

namespace agendia::platform::qt {

// A QLabel that grows below its design height when its text, wrapped at its
// width in its font, needs more; it never shrinks below the design height.
// A hidden label is fitted when it is shown.
class FittingLabel final : public QLabel {
  Q_OBJECT

 public:
  explicit FittingLabel(QWidget* parent) : QLabel(parent) {}
  // Takes the current height as the design height and fits the text.
  void KeepDesignHeight();
  void Fit();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  int design_height_ = -1;
  bool fit_pending_ = false;
};

// VXLabel and the plain label: a QLabel showing its caption as plain text.
class QtLabel final : public QtControlBase, public Label {
 public:
  QtLabel(const ControlDesign& design, FittingLabel* label);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetBuddy(Control* described) override;

 private:
  QPointer<FittingLabel> label_;
};

// VXFrmCaption has no widget of its own: its caption is the dialog's title.
class QtCaptionBar final : public QtControlBase, public CaptionBar {
 public:
  QtCaptionBar(const ControlDesign& design, QDialog* dialog);
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override;

 private:
  QPointer<QDialog> dialog_;
  std::string caption_;
};

// VXCommandButton: a QPushButton; an "&" in the caption marks its mnemonic.
// It is never a default button, also not while it has the focus.
class QtCommandButton final : public QtControlBase, public CommandButton {
 public:
  QtCommandButton(const ControlDesign& design, QPushButton* button);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  void OnClick(std::function<void()> handler) override;

 private:
  QPointer<QPushButton> button_;
  std::function<void()> on_click_;
};

// VXComboBox: a non-editable QComboBox that never selects an item by itself.
class QtComboBox final : public QtControlBase, public ComboBox {
 public:
  QtComboBox(const ControlDesign& design, QComboBox* combo);
  void Clear() override;
  void AddItem(const std::string& text) override;
  int ListCount() const override;
  int ListIndex() const override;
  StatusOr<std::string> List(int index) const override;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;

 private:
  QPointer<QComboBox> combo_;
};

}  // namespace agendia::platform::qt
