#include "platform/qt/qt_focus_style_p.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QStyleOption>

#include <algorithm>

namespace agendia::platform::qt {
namespace {

constexpr qreal kMarkWidth = 2.0;

bool HasFocus(const QStyleOption* option) {
  return option != nullptr && (option->state & QStyle::State_HasFocus) &&
         (option->state & QStyle::State_Enabled);
}

void DrawFocusMark(QPainter& painter, const QStyleOption& option) {
  painter.save();
  QPen pen(option.palette.color(QPalette::Active, QPalette::Highlight), kMarkWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const qreal inset = kMarkWidth / 2;
  painter.drawRect(QRectF(option.rect).adjusted(inset, inset, -inset, -inset));
  painter.restore();
}

}  // namespace

void FocusMarkingStyle::drawControl(ControlElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  const bool button = element == CE_PushButton && qobject_cast<const QPushButton*>(widget);
  // The frame of a multi-line edit box, drawn around its viewport.
  const bool text_frame = element == CE_ShapedFrame && qobject_cast<const QAbstractScrollArea*>(widget);
  if ((button || text_frame) && HasFocus(option) && painter != nullptr) {
    DrawFocusMark(*painter, *option);
  }
}

void FocusMarkingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                      QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  if (element == PE_PanelLineEdit && qobject_cast<const QLineEdit*>(widget) && HasFocus(option) &&
      painter != nullptr) {
    DrawFocusMark(*painter, *option);
  }
}

QRect FocusMarkingStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                        SubControl sub_control, const QWidget* widget) const {
  if (control != CC_ComboBox || option == nullptr ||
      (sub_control != SC_ComboBoxArrow && sub_control != SC_ComboBoxEditField)) {
    return QProxyStyle::subControlRect(control, option, sub_control, widget);
  }
  // An arrow as wide as two thirds of a line of text, inside a 2-pixel frame.
  constexpr int kFrame = 2;
  const QRect& box = option->rect;
  const int arrow_width = std::max(9, option->fontMetrics.height() * 2 / 3);
  const QRect arrow(box.right() - kFrame - arrow_width + 1, box.top() + kFrame, arrow_width,
                    box.height() - 2 * kFrame);
  const QRect field(box.left() + kFrame, box.top() + kFrame, arrow.left() - box.left() - kFrame,
                    box.height() - 2 * kFrame);
  return visualRect(option->direction, box, sub_control == SC_ComboBoxArrow ? arrow : field);
}

}  // namespace agendia::platform::qt
