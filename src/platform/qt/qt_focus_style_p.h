#pragma once

#include <QProxyStyle>

namespace agendia::platform::qt {

// The window's style with a focus mark that is always drawn: a frame in the
// highlight colour around the push button or edit box that has the focus.
// Styles such as Fusion mark a focused button only after the keyboard moved
// the focus, and a multi-line edit box never; this window moves the focus by
// code (after Add and Save) and must show where it went.
//
// Its drop-down lists have a slim arrow: the design's list of recurrence
// kinds is 65 pixels wide at 100 %, and the style's own arrow would leave too
// little of it for the kind's name.
//
// Set on the controls of one dialog only, never on the application, which
// may be the host's.
class FocusMarkingStyle final : public QProxyStyle {
  Q_OBJECT

 public:
  FocusMarkingStyle() = default;

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl sub_control, const QWidget* widget) const override;
};

}  // namespace agendia::platform::qt
