#include "qt_first_open.h"

#include "db/default_client.h"
#include "form/frmCalendarInfo.h"
#include "measure.h"
#include "platform/qt/qt_platform.h"
#include "resources/resource_library.h"
#include "sample_database.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace agendia::bench {

namespace {

// Tells when a paint of the whole window that includes the memo tree has
// ended. Qt paints a window's widgets inside the handling of its expose event
// or of its update request; once that handling returns after the tree's
// viewport was painted, the window has been painted and flushed.
class PaintWatch final : public QApplication {
 public:
  using QApplication::QApplication;

  // Calls `done` once, after the next window paint that includes the tree.
  void AwaitTreePaint(std::function<void()> done) {
    tree_painted_ = false;
    done_ = std::move(done);
  }

  bool notify(QObject* receiver, QEvent* event) override {
    const QEvent::Type type = event->type();
    const bool result = QApplication::notify(receiver, event);
    if (!done_) return result;
    if (type == QEvent::Paint) {
      auto* widget = qobject_cast<QWidget*>(receiver);
      auto* tree = widget ? qobject_cast<QTreeView*>(widget->parentWidget()) : nullptr;
      if (tree && tree->viewport() == widget && tree->objectName() == QLatin1String("tvInfo")) {
        tree_painted_ = true;
      }
    } else if (tree_painted_ && (type == QEvent::Expose || type == QEvent::UpdateRequest)) {
      const bool window = receiver->isWindowType() ||
                          (receiver->isWidgetType() && static_cast<QWidget*>(receiver)->isWindow());
      if (window) {
        auto done = std::move(done_);
        done_ = nullptr;
        done();
      }
    }
    return result;
  }

 private:
  bool tree_painted_ = false;
  std::function<void()> done_;
};

int ListedMemos(QTreeView* tree) {
  const QAbstractItemModel* model = tree->model();
  int listed = 0;
  for (int group = 0; group < model->rowCount(); ++group) {
    listed += model->rowCount(model->index(group, 0));
  }
  return listed;
}

// The first memo of the first group that has one.
QModelIndex FirstMemo(QTreeView* tree) {
  const QAbstractItemModel* model = tree->model();
  for (int group = 0; group < model->rowCount(); ++group) {
    const QModelIndex parent = model->index(group, 0);
    if (model->rowCount(parent) > 0) return model->index(0, 0, parent);
  }
  return {};
}

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::fflush(stderr);
  std::_Exit(3);
}

}  // namespace

int RunQtChild(const std::string& mode, const std::string& path, int expected) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "agendia-bench";
  static char* argv[] = {name, nullptr};
  PaintWatch app(argc, argv);
  // A host has shown text of its own before it opens the calendar, so the
  // system's font list is read before the clock starts; the calendar's own
  // fonts are still loaded on the clock.
  (void)QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("Agendia"));
  // A window that never paints, or a message box nobody closes, must not
  // hang the run.
  QTimer::singleShot(300000, [] { Fail("the window did not paint in time"); });

  auto platform = std::make_shared<platform::Platform>(platform::Platform{
      platform::MakeQtWindowSystem(), platform::MakeQtToolkit(), platform::MakeQtSystemLanguage(),
      resources::MakeFileResourceLibrary(AGENDIA_RESOURCE_TEXTS), db::MakeDefaultClient()});
  frmCalendarInfo form(platform);
  form.g_cConn = "Provider=SQLite;Data Source=" + path;
  form.g_cUser = kUser;
  form.g_cAccId = "001";
  form.g_nYear = "2024";
  form.dayCurr = kCurrentDay;
  form.lanuage = "en-us";

  Sample result;
  const auto tree_of = [] {
    QWidget* window = QApplication::activeModalWidget();
    auto* tree = window ? window->findChild<QTreeView*>(QStringLiteral("tvInfo")) : nullptr;
    if (tree == nullptr) Fail("no memo tree on screen");
    return tree;
  };
  const auto finish = [&] {
    result.rss_kb = ResidentKb();
    result.peak_kb = PeakResidentKb();
    if (ListedMemos(tree_of()) != expected) Fail("the tree does not list every memo");
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  };
  const auto save_unchanged = [&] {
    QTreeView* tree = tree_of();
    QWidget* window = tree->window();
    auto* modify = window->findChild<QPushButton*>(QStringLiteral("btnModify"));
    auto* save = window->findChild<QPushButton*>(QStringLiteral("btnSave"));
    const QModelIndex memo = FirstMemo(tree);
    if (!modify || !save || !memo.isValid()) Fail("no memo to save");
    emit tree->clicked(memo);
    modify->click();
    if (!save->isEnabled()) Fail("the memo could not be opened for modifying");
    const Mark start = Now();
    app.AwaitTreePaint([&, start] {
      result = Since(start);
      finish();
    });
    save->click();
  };

  const Mark start = Now();
  app.AwaitTreePaint([&] {
    if (mode == "first") {
      result = Since(start);
      finish();
    } else {
      QTimer::singleShot(0, save_unchanged);
    }
  });
  const Status shown = form.Show(1);
  if (!shown.ok()) {
    std::fprintf(stderr, "the window did not open: %s\n", shown.description().c_str());
    return 1;
  }
  if (result.wall_ms == 0) Fail("the window closed before it was measured");
  std::printf("%s\n", Format(result).c_str());
  return 0;
}

}  // namespace agendia::bench
