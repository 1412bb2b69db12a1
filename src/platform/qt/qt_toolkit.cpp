#include "platform/qt/qt_form_window_p.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_text_p.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace agendia::platform {
namespace {

using qt::ToQString;

bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// QApplication aborts the process when its platform plugin cannot start, so
// the plain case of no display at all is refused before trying.
Status CheckDisplayAvailable() {
#if defined(__linux__)
  if (!EnvironmentSet("QT_QPA_PLATFORM") && !EnvironmentSet("DISPLAY") &&
      !EnvironmentSet("WAYLAND_DISPLAY")) {
    return Status::Error(hr::kUnexpected,
                         "Cannot start the user interface: no display; run under xvfb-run or "
                         "set QT_QPA_PLATFORM=offscreen");
  }
#endif
  return Status::Ok();
}

// Holds nothing: the host already runs a QApplication.
class BorrowedRuntime final : public UiRuntimeLease {};

// Owns the QApplication it started; the application ends with the lease.
class OwnedRuntime final : public UiRuntimeLease {
 public:
  OwnedRuntime() : application_(argc_, argv_) {}

 private:
  // QApplication keeps references to its arguments for its whole life.
  static inline char name_[] = "agendia";
  static inline char* argv_[] = {name_, nullptr};
  static inline int argc_ = 1;
  QApplication application_;
};

bool WidgetsAvailable() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

QMessageBox::Icon IconOf(int style) {
  switch (style) {
    case mb::kExclamation: return QMessageBox::Warning;
    case mb::kInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

class QtToolkit final : public Toolkit {
 public:
  StatusOr<std::unique_ptr<UiRuntimeLease>> AcquireRuntime() override {
    if (QCoreApplication::instance() != nullptr) {
      if (!WidgetsAvailable()) {
        return Status::Error(hr::kUnexpected,
                             "The process runs a Qt application without widgets (not a QApplication)");
      }
      return std::unique_ptr<UiRuntimeLease>(std::make_unique<BorrowedRuntime>());
    }
    AGENDIA_RETURN_IF_ERROR(CheckDisplayAvailable());
    return std::unique_ptr<UiRuntimeLease>(std::make_unique<OwnedRuntime>());
  }

  StatusOr<std::unique_ptr<FormWindow>> CreateForm(const FormDesign& design) override {
    if (!WidgetsAvailable()) {
      return Status::Error(hr::kUnexpected, "Cannot build a window: no QApplication is running");
    }
    return std::unique_ptr<FormWindow>(std::make_unique<qt::QtFormWindow>(design));
  }

  // Without a running application the box cannot be shown; the text then goes
  // to the standard error stream so that it is not lost.
  void MessageBox(const std::string& text, int style,
                  const std::optional<std::string>& caption) override {
    const std::string title = caption.value_or(kDefaultApplicationTitle);
    if (!WidgetsAvailable()) {
      std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
      return;
    }
    QMessageBox box(IconOf(style), ToQString(title), ToQString(text), QMessageBox::Ok,
                    QApplication::activeModalWidget());
    box.setObjectName(QStringLiteral("agendiaMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
  }
};

}  // namespace

std::unique_ptr<Toolkit> MakeQtToolkit() { return std::make_unique<QtToolkit>(); }

}  // namespace agendia::platform
