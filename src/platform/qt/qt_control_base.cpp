#include "platform/qt/qt_control_base_p.h"

#include "platform/qt/qt_text_p.h"

#include <QFont>
#include <QPalette>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace agendia::platform::qt {
namespace {

FontDesign DesignOf(const QWidget& widget) {
  const QFont& font = widget.font();
  FontDesign design;
  design.name = ToStdString(font.family());
  design.size = font.pointSizeF();
  design.weight = font.weight();
  design.charset = widget.property(kCharsetProperty).toInt();
  return design;
}

void ApplyTo(QWidget& widget, const FontDesign& design) {
  QFont font = widget.font();
  font.setFamilies({ToQString(design.name)});
  font.setPointSizeF(design.size);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(design.weight, 1, 1000)));
  widget.setFont(font);
  widget.setProperty(kCharsetProperty, design.charset);
}

}  // namespace

QtControlFont::QtControlFont(QWidget* widget, const std::optional<FontDesign>& design)
    : has_widget_(widget != nullptr), widget_(widget) {
  if (design.has_value()) {
    design_ = *design;
    if (widget != nullptr && design_.size > 0) ApplyTo(*widget, design_);
  } else if (widget != nullptr) {
    design_ = DesignOf(*widget);
  }
}

Status QtControlFont::SetName(const std::string& name) {
  if (name.empty()) return Status::Error(hr::kInvalidArg, "A font name must not be empty");
  FontDesign next = design_;
  next.name = name;
  return Apply(next);
}

Status QtControlFont::SetSize(double points) {
  if (!(points > 0)) {
    return Status::Error(hr::kInvalidArg, "A font size must be greater than 0 points");
  }
  FontDesign next = design_;
  next.size = points;
  return Apply(next);
}

Status QtControlFont::SetCharset(int charset) {
  if (charset < 0 || charset > 255) {
    return Status::Error(hr::kInvalidArg, "A character set must be from 0 to 255");
  }
  FontDesign next = design_;
  next.charset = charset;
  return Apply(next);
}

Status QtControlFont::Apply(const FontDesign& next) {
  if (has_widget_) {
    if (widget_.isNull()) {
      return Status::Error(hr::kUnexpected, "The control's window has been unloaded");
    }
    if (next.size > 0) ApplyTo(*widget_, next);
  }
  design_ = next;
  return Status::Ok();
}

QtControlBase::QtControlBase(std::string name, ControlKind kind, QWidget* widget,
                             const std::optional<FontDesign>& design_font)
    : name_(std::move(name)), kind_(kind), widget_(widget), font_(widget, design_font) {}

void QtControlBase::SetAccessibleName(const std::string& name) {
  accessible_name_ = name;
  if (widget_) widget_->setAccessibleName(ToQString(name));
}

void KeepTextReadableWhenDisabled(QWidget& field) {
  QPalette palette = field.palette();
  for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
    palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
  }
  palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Window));
  field.setPalette(palette);
}

}  // namespace agendia::platform::qt
