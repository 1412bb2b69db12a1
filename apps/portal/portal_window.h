#pragma once

#include "portal_options.h"

#include <agendia/calender.h>
#include <agendia/com_ptr.h>

#include <QMainWindow>

class QLabel;
class QPushButton;

// The portal's main window. The calendar component sits in its "calendar"
// pane: the pane's handle is what the portal hands the component, so the
// main window becomes the calendar's owner.
class PortalWindow final : public QMainWindow {
  Q_OBJECT

 public:
  PortalWindow(PortalOptions options, agendia::ComPtr<agendia::_Calender> calendar);

 public slots:
  // Opens the calendar modally and returns when it has been closed. The
  // portal is disabled meanwhile.
  void OpenCalendar();

 signals:
  void calendarClosed();

 private:
  PortalOptions options_;
  agendia::ComPtr<agendia::_Calender> calendar_;
  QWidget* pane_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* open_button_ = nullptr;
};
