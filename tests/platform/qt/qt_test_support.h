#pragma once

#include "platform/form_window.h"

#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace agendia::platform::testing {

// Starts the test binary's one QApplication, through the toolkit, on first
// use. It lives until the process ends.
void EnsureApplication();

// A small design with two or more controls of most kinds, in twips:
// tvInfo, txtHour, cboIntrval, txtEndDay (hidden), txtContent (multi-line,
// maximum length 10), btnSave "保存(&S)", btnExit (cancel), lblHour (bold),
// lblEndDay (hidden), VXFrmCaptionMgr (caption bar).
FormDesign SampleFormDesign();

// Builds the window with the Qt toolkit; fails the test when it cannot.
std::unique_ptr<FormWindow> BuildForm(const FormDesign& design);

// The QDialog of a form that has not been unloaded, found by its handle.
QDialog* DialogOf(const FormWindow& window);

// The child widget of the form's dialog with the object name `name`.
template <typename W>
W* ChildOf(const FormWindow& window, const std::string& name) {
  QDialog* dialog = DialogOf(window);
  return dialog ? dialog->findChild<W*>(QString::fromStdString(name)) : nullptr;
}

// Form events that record their names in order and can run an action on
// activation (at most once) to drive the open window from inside its modal loop.
class RecordingEvents : public FormEvents {
 public:
  Status load_result;
  std::function<void()> on_load;
  std::function<void()> on_first_activate;
  std::vector<std::string> log;

  Status Form_Load() override;
  void Form_Resize() override;
  void Form_Activate() override;
  void Form_Unload() override;

  int Count(const std::string& name) const;
};

// Closes every visible dialog after `ms` unless `guard` has gone, so that a
// failing test never waits forever in a modal loop.
void CloseDialogsAfter(int ms, QObject* guard);

}  // namespace agendia::platform::testing
