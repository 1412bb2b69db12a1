#pragma once

#include "platform/controls.h"
#include "platform/form_window.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

namespace agendia::platform::qt {

// Qt fonts have no character set; the value lives in this dynamic property of
// the widget so that the font object can report it back.
inline constexpr char kCharsetProperty[] = "agendiaCharset";

// The font object of one control. With a widget, every setter applies the
// whole font to the widget at once and fails once the widget is gone; without
// one (the caption bar) it only keeps the values.
class QtControlFont final : public ControlFont {
 public:
  // Applies `design` to `widget` when given; otherwise takes the widget's own
  // font as the starting value. `widget` may be null.
  QtControlFont(QWidget* widget, const std::optional<FontDesign>& design);

  FontDesign Get() const override { return design_; }
  Status SetName(const std::string& name) override;
  Status SetSize(double points) override;
  Status SetCharset(int charset) override;

 private:
  Status Apply(const FontDesign& next);

  const bool has_widget_;
  QPointer<QWidget> widget_;
  FontDesign design_;
};

// What every control adapter shares: its design name, its kind and its font.
// The widget is held weakly; the adapter outlives the dialog.
class QtControlBase : public virtual Control {
 public:
  QtControlBase(std::string name, ControlKind kind, QWidget* widget,
                const std::optional<FontDesign>& design_font);

  const std::string& Name() const override { return name_; }
  ControlKind Kind() const override { return kind_; }
  ControlFont* Font() override { return &font_; }
  std::string AccessibleName() const override { return accessible_name_; }
  void SetAccessibleName(const std::string& name) override;

  // The control's widget; null for the caption bar and once the dialog is gone.
  QWidget* Widget() const { return widget_; }

 private:
  std::string name_;
  ControlKind kind_;
  QPointer<QWidget> widget_;
  QtControlFont font_;
  std::string accessible_name_;
};

// A disabled field refuses input but keeps the text colour of an enabled one
// on the background of a read-only field, instead of the style's grey on grey.
void KeepTextReadableWhenDisabled(QWidget& field);

}  // namespace agendia::platform::qt
