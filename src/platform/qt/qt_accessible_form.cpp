#include "platform/qt/qt_accessible_form_p.h"

#include "platform/qt/qt_form_dialog_p.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace agendia::platform::qt {
namespace {

class FormDialogAccessible final : public QAccessibleWidget {
 public:
  explicit FormDialogAccessible(QWidget* dialog) : QAccessibleWidget(dialog, QAccessible::Dialog) {}

  int childCount() const override { return static_cast<int>(ShownChildren().size()); }

  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> children = ShownChildren();
    if (index < 0 || index >= children.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(children.at(index));
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    return static_cast<int>(ShownChildren().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  // The child widgets in creation order, without those hidden on purpose.
  QList<QWidget*> ShownChildren() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child == nullptr || child->isWindow()) continue;
      const bool hidden_on_purpose = child->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                     child->testAttribute(Qt::WA_WState_Hidden);
      if (!hidden_on_purpose) shown.append(child);
    }
    return shown;
  }
};

QAccessibleInterface* MakeFormAccessible(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(FormDialog::staticMetaObject.className())) return nullptr;
  auto* dialog = qobject_cast<FormDialog*>(object);
  return dialog != nullptr ? new FormDialogAccessible(dialog) : nullptr;
}

}  // namespace

void InstallFormAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeFormAccessible);
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace agendia::platform::qt
