#include "platform/qt/qt_form_window_p.h"

#include "platform/control_list.h"
#include "platform/qt/qt_accessible_form_p.h"
#include "platform/qt/qt_edit_box_p.h"
#include "platform/qt/qt_focus_style_p.h"
#include "platform/qt/qt_simple_controls_p.h"
#include "platform/qt/qt_text_p.h"
#include "platform/qt/qt_tree_view_p.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

#include <algorithm>
#include <cmath>

namespace agendia::platform::qt {
namespace {

struct Dpi {
  double x;
  double y;
};

int ToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

// Makes the widget of one control and its adapter; `*widget` is null for the
// caption bar, which has none.
std::unique_ptr<Control> MakeControl(const ControlDesign& design, FormDialog& dialog, QWidget** widget) {
  *widget = nullptr;
  switch (design.kind) {
    case ControlKind::kTreeView: {
      auto* view = new NodeTreeView(&dialog);
      *widget = view;
      return std::make_unique<QtTreeView>(design, view);
    }
    case ControlKind::kEditBox:
      if (design.multi_line) {
        auto* edit = new LimitedPlainTextEdit(design.max_length, &dialog);
        *widget = edit;
        return std::make_unique<QtEditBox>(design, edit);
      } else {
        auto* edit = new QLineEdit(&dialog);
        *widget = edit;
        return std::make_unique<QtEditBox>(design, edit);
      }
    case ControlKind::kComboBox: {
      auto* combo = new QComboBox(&dialog);
      *widget = combo;
      return std::make_unique<QtComboBox>(design, combo);
    }
    case ControlKind::kCommandButton: {
      auto* button = new QPushButton(&dialog);
      *widget = button;
      if (design.cancel) dialog.SetCancelButton(button);
      return std::make_unique<QtCommandButton>(design, button);
    }
    case ControlKind::kLabel:
    case ControlKind::kPlainLabel: {
      auto* label = new FittingLabel(&dialog);
      *widget = label;
      return std::make_unique<QtLabel>(design, label);
    }
    case ControlKind::kCaptionBar:
      return std::make_unique<QtCaptionBar>(design, &dialog);
  }
  return nullptr;
}

}  // namespace

QtFormWindow::QtFormWindow(const FormDesign& design) : dialog_(new FormDialog()), title_(design.caption) {
  Build(design);
}

QtFormWindow::~QtFormWindow() { DestroyDialog(); }

void QtFormWindow::Build(const FormDesign& design) {
  InstallFormAccessibility();
  FormDialog& dialog = *dialog_;
  dialog.setWindowTitle(ToQString(design.caption));
  const QScreen* screen = dialog.screen();
  const Dpi dpi{screen ? screen->logicalDotsPerInchX() : 96.0,
                screen ? screen->logicalDotsPerInchY() : 96.0};
  dialog.setFixedSize(ToPixels(design.client_width, dpi.x), ToPixels(design.client_height, dpi.y));

  std::vector<std::pair<int, QWidget*>> tab_stops;
  for (const ControlDesign& control : design.controls) {
    QWidget* widget = nullptr;
    controls_.push_back(MakeControl(control, dialog, &widget));
    if (widget == nullptr) continue;
    widget->setObjectName(ToQString(control.name));
    widget->setGeometry(ToPixels(control.left, dpi.x), ToPixels(control.top, dpi.y),
                        ToPixels(control.width, dpi.x), ToPixels(control.height, dpi.y));
    if (!control.visible) widget->setHidden(true);
    if (auto* label = qobject_cast<FittingLabel*>(widget)) label->KeepDesignHeight();
    if (control.kind == ControlKind::kCommandButton || control.kind == ControlKind::kEditBox ||
        control.kind == ControlKind::kComboBox) {
      styled_.push_back(widget);
    }
    if (control.tab_index >= 0) {
      tab_stops.emplace_back(control.tab_index, widget);
    } else if (widget->focusPolicy() & Qt::TabFocus) {
      widget->setFocusPolicy(Qt::ClickFocus);
    }
  }
  std::stable_sort(tab_stops.begin(), tab_stops.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < tab_stops.size(); ++i) {
    QWidget::setTabOrder(tab_stops[i - 1].second, tab_stops[i].second);
  }
  // Made after the controls, as the dialog's last child: children are
  // deleted in the order they were made, and the style must outlive every
  // widget that uses it.
  auto* style = new FocusMarkingStyle();
  style->setParent(&dialog);
  for (QWidget* widget : styled_) widget->setStyle(style);
}

void QtFormWindow::UseLanguage(const std::string& language) {
  RemoveTranslators();
  QString locale;
  const QString code = ToQString(language).toLower();
  if (code == QLatin1String("zh-cn")) locale = QStringLiteral("zh_CN");
  if (code == QLatin1String("zh-tw")) locale = QStringLiteral("zh_TW");
  if (locale.isEmpty() || QCoreApplication::instance() == nullptr) return;
  // Qt's own texts are in English without a translator; English needs none.
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(QStringLiteral("qtbase_") + locale, folder) &&
      QCoreApplication::installTranslator(translator.get())) {
    translators_.push_back(std::move(translator));
  }
}

// The translators serve this window only: the application may be the host's,
// and its own texts go back to what they were when the window goes.
void QtFormWindow::RemoveTranslators() {
  if (QCoreApplication::instance() != nullptr) {
    for (const auto& translator : translators_) QCoreApplication::removeTranslator(translator.get());
  }
  translators_.clear();
}

void QtFormWindow::DestroyDialog() {
  RemoveTranslators();
  styled_.clear();
  if (!dialog_) return;
  if (QCoreApplication::instance() == nullptr) {
    // The application has already ended; a widget cannot be deleted safely
    // any more, so the dialog is abandoned.
    dialog_.clear();
    return;
  }
  title_ = ToStdString(dialog_->windowTitle());
  dialog_->on_resized = nullptr;
  dialog_->on_activated = nullptr;
  delete dialog_.data();
}

WindowHandle QtFormWindow::Handle() const {
  return dialog_ ? static_cast<WindowHandle>(dialog_->winId()) : 0;
}

Control* QtFormWindow::ControlAt(int index) {
  return ControlAtIndex(controls_, index);
}

Control* QtFormWindow::FindControl(const std::string& name) {
  return ControlNamed(controls_, name);
}

Status QtFormWindow::ShowModal(FormEvents& events) {
  const auto run_loop = [this, &events] {
    if (!dialog_) return;
    dialog_->on_resized = [&events] { events.Form_Resize(); };
    dialog_->on_activated = [&events] { events.Form_Activate(); };
    dialog_->RunModal();
    if (dialog_) {
      dialog_->on_resized = nullptr;
      dialog_->on_activated = nullptr;
    }
  };
  // Deleted at the end of the show rather than later: the application may
  // be about to go.
  return show_.Run(dialog_ != nullptr, events, run_loop, [this] { DestroyDialog(); });
}

void QtFormWindow::Unload() {
  if (dialog_ && show_.InModal()) dialog_->RequestClose();
}

Status QtFormWindow::BringToFront() {
  if (!dialog_ || !dialog_->isVisible()) {
    return Status::Error(hr::kUnexpected, "The window is not shown");
  }
  dialog_->raise();
  dialog_->activateWindow();
  return Status::Ok();
}

std::string QtFormWindow::Title() const {
  return dialog_ ? ToStdString(dialog_->windowTitle()) : title_;
}

}  // namespace agendia::platform::qt
