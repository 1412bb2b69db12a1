// Renders the calendar window to PNG files, one per language:
//   agendia-render-window OUTPUT_DIR [DAY] [LANGUAGE...]
// It opens the window exactly as a host does (class factory, PortHwnd,
// CalenderDesign), grabs it once it is shown, and closes it again.

#include <agendia/create_calender.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// Waits for the calendar window, saves it and closes it.
void GrabWhenShown(const QString& path, bool* saved) {
  QTimer::singleShot(200, [path, saved] {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) {
      GrabWhenShown(path, saved);
      return;
    }
    *saved = window->grab().save(path);
    window->close();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR [DAY] [LANGUAGE...]\n", argv[0]);
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString output = QString::fromLocal8Bit(argv[1]);
  std::string day = argc > 2 ? argv[2] : "2024-03-01";
  QStringList languages;
  for (int i = 3; i < argc; ++i) languages << QString::fromLocal8Bit(argv[i]);
  if (languages.isEmpty()) languages = {"zh-cn", "zh-tw", "en-us"};
  QDir().mkpath(output);

  QWidget portal;
  portal.setWindowTitle(QStringLiteral("portal"));
  auto* pane = new QWidget(&portal);
  pane->setAttribute(Qt::WA_NativeWindow);
  portal.show();

  int failures = 0;
  for (const QString& language : languages) {
    auto calendar = agendia::CreateCalender();
    if (!calendar.ok()) {
      std::fprintf(stderr, "%s\n", calendar.status().description().c_str());
      return 1;
    }
    (*calendar)->put_PortHwnd(static_cast<int32_t>(pane->winId())).IgnoreError();
    const QString path = output + QStringLiteral("/window-") + language + QStringLiteral(".png");
    bool saved = false;
    GrabWhenShown(path, &saved);
    std::string connection = "Provider=SQLite;Data Source=:memory:";
    std::string user = "demo", account = "001", year = day.substr(0, 4);
    std::string code = language.toStdString();
    agendia::Status status =
        (*calendar)->CalenderDesign(&connection, &user, &account, &year, &day, &code);
    if (!status.ok() || !saved) {
      std::fprintf(stderr, "%s: %s\n", code.c_str(),
                   status.ok() ? "the window could not be saved" : status.description().c_str());
      ++failures;
    } else {
      std::printf("%s\n", path.toLocal8Bit().constData());
    }
  }
  return failures == 0 ? 0 : 1;
}
