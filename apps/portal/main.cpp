// agendia-portal: a small stand-in for the enterprise portal that hosts the
// calendar component.

#include "embedded_database.h"
#include "file_size_limit.h"
#include "portal_options.h"
#include "portal_window.h"

#include <agendia/create_calender.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

bool DisplayAvailable() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeLimitSignal();
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QString message;
  int exit_code = 0;
  auto options = ParsePortalOptions(arguments, message, exit_code);
  if (!options) {
    std::fprintf(exit_code == 0 ? stdout : stderr, "%s\n", message.toLocal8Bit().constData());
    return exit_code;
  }
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "agendia-portal needs a display, and none is set (DISPLAY and WAYLAND_DISPLAY are "
                 "empty).\nRun it on a desktop, or without one under a virtual display:\n"
                 "  xvfb-run -a agendia-portal --open\n");
    return 3;
  }

  if (const QString failure =
          EnsureEmbeddedDatabase(options->connection, options->may_create_database);
      !failure.isEmpty()) {
    std::fprintf(stderr, "agendia-portal: memo database: %s\n", failure.toLocal8Bit().constData());
    return 2;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("agendia-portal"));

  auto calendar = agendia::CreateCalender();
  if (!calendar.ok()) {
    QMessageBox::critical(nullptr, QStringLiteral("Agendia Portal"),
                          QString::fromStdString(calendar.status().description()));
    return 1;
  }
  PortalWindow window(*options, std::move(calendar).value());
  window.show();
  if (options->exit_on_close) {
    QObject::connect(&window, &PortalWindow::calendarClosed, &app, &QApplication::quit);
  }
  if (options->open_at_once) QTimer::singleShot(0, &window, &PortalWindow::OpenCalendar);
  return app.exec();
}
