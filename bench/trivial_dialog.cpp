// The floor for the calendar's start: a Qt program that shows one empty
// dialog of a given size and nothing else.
//
//   agendia-bench-trivial-dialog WIDTH HEIGHT

#include <QApplication>
#include <QDialog>

#include <cstdlib>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) return 2;
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Trivial dialog"));
  dialog.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
  dialog.show();
  return app.exec();
}
