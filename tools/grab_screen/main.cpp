// Saves the screen of the X display in DISPLAY, or a rectangle of it, as PNG:
//   agendia-grab-screen OUTPUT.png [X Y WIDTH HEIGHT]
// It reads the pixels the X server holds, so it shows every window as drawn,
// whichever program drew it. The rectangle is cut to the screen. Exit status
// 0 when the file was written, 1 when the screen could not be read or the
// file not written, 2 on wrong arguments.

#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

std::optional<int> Number(const char* text) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < -100000 || value > 100000) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: agendia-grab-screen OUTPUT.png [X Y WIDTH HEIGHT]\n");
    return 2;
  }
  std::optional<QRect> wanted;
  if (argc == 6) {
    const auto x = Number(argv[2]), y = Number(argv[3]), width = Number(argv[4]),
               height = Number(argv[5]);
    if (!x || !y || !width || !height || *width <= 0 || *height <= 0) {
      std::fprintf(stderr, "agendia-grab-screen: X Y WIDTH HEIGHT must be numbers, the size "
                           "positive\n");
      return 2;
    }
    wanted = QRect(*x, *y, *width, *height);
  }
  // Only the X platform reads a real screen; offscreen would give an empty
  // picture and report success.
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "agendia-grab-screen: no screen on display %s\n", qgetenv("DISPLAY").constData());
    return 1;
  }
  const QRect whole(QPoint(0, 0), screen->size());
  const QRect area = wanted ? wanted->intersected(whole) : whole;
  if (area.isEmpty()) {
    std::fprintf(stderr, "agendia-grab-screen: the rectangle lies outside the %dx%d screen\n",
                 whole.width(), whole.height());
    return 1;
  }
  const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  if (picture.isNull()) {
    std::fprintf(stderr, "agendia-grab-screen: the screen could not be read\n");
    return 1;
  }
  if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "agendia-grab-screen: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%dx%d\n", picture.width(), picture.height());
  return 0;
}
