#pragma once

// Drives the component's modal windows from inside their own event loops:
// message boxes are answered with OK and remembered, the calendar window is
// handed to an inspection once. The watcher keeps polling during that
// inspection, so a message box raised by a click the inspection makes is
// answered too. Past a time limit it closes whatever is still open, so that a
// failing test ends instead of waiting forever.

#include <agendia/calender.h>

#include "integration/calendar_controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace agendia::testing {

// The one QApplication of the test binary, made on first use.
inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "agendia_integration_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

// A message box as it was shown.
struct ShownMessage {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString ok_text;  // the text of its OK button
};

class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(QWidget&)> inspect, int give_up_ms = 20000)
      : inspect_(std::move(inspect)), give_up_ms_(give_up_ms) {
    clock_.start();
    Poll();
  }
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;

  QStringList message_texts;
  std::vector<ShownMessage> messages;

 private:
  void Poll() {
    // The timers belong to `context_`: none fires once the watcher is gone.
    QTimer::singleShot(10, &context_, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (clock_.elapsed() > give_up_ms_) {
        GiveUp(modal);
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        Answer(box);
      } else if (modal != nullptr && modal->isVisible() && inspected_ == nullptr) {
        inspected_ = modal;
        // Polled on while the inspection runs: its clicks may open message
        // boxes whose own event loops this timer then runs in.
        Poll();
        // Keys go to the active window, and a window just shown is active
        // only once the window system has said so. An inspection that needs
        // no keys loses nothing if that never happens.
        static_cast<void>(QTest::qWaitForWindowActive(modal, 1000));
        inspect_(*modal);
        return;
      }
      Poll();
    });
  }

  void Answer(QMessageBox* box) {
    if (answering_ == box) return;
    answering_ = box;
    message_texts << box->text();
    QAbstractButton* ok_button = box->button(QMessageBox::Ok);
    messages.push_back({box->text(), box->windowTitle(), box->icon(),
                        ok_button != nullptr ? ok_button->text() : QString()});
    // Answered from a fresh event, not from inside the polling timer's slot.
    QTimer::singleShot(0, box, [box, owner = inspected_] {
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
      } else {
        box->close();
      }
      // A window manager gives the activation back to the window under the
      // box; the offscreen platform does not, and keys would go nowhere.
      if (owner && owner->isVisible() && !owner->isActiveWindow()) {
        owner->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(owner.data(), 1000));
      }
    });
  }

  void GiveUp(QWidget* modal) {
    if (!gave_up_) ADD_FAILURE() << "A modal window was still open after " << give_up_ms_ << " ms";
    gave_up_ = true;
    if (modal != nullptr) QTimer::singleShot(0, modal, [modal] { modal->close(); });
    if (modal != nullptr) Poll();
  }

  QObject context_;
  std::function<void(QWidget&)> inspect_;
  const int give_up_ms_;
  QElapsedTimer clock_;
  QPointer<QWidget> inspected_;
  QPointer<QMessageBox> answering_;
  bool gave_up_ = false;
};

// Opens the window of "demo", account 001, year 2024, on 2024-03-01 in
// `language` on `connection`, and runs `use` on it inside its modal loop
// while `watcher` (made here, so the test can read its messages meanwhile)
// answers message boxes with OK. The window is closed afterwards unless `use`
// closed it. Returns the message boxes shown. A failed call, a window that
// never opened, or one still open after `give_up_ms` fails the test.
inline std::vector<ShownMessage> UseCalendarWindow(_Calender& calendar, std::string connection,
                                                   std::string language,
                                                   std::optional<ModalWatcher>& watcher,
                                                   const std::function<void(QWidget&)>& use,
                                                   int give_up_ms = 20000) {
  bool shown = false;
  watcher.emplace([&](QWidget& window) {
    shown = true;
    QPointer<QWidget> alive(&window);
    use(window);
    if (alive && alive->isVisible()) alive->close();
  }, give_up_ms);
  std::string user = "demo", account = "001", year = "2024", day = "2024-03-01";
  const Status status =
      calendar.CalenderDesign(&connection, &user, &account, &year, &day, &language);
  // The watcher's inspection refers to this call's locals: it goes with them.
  std::vector<ShownMessage> messages = std::move(watcher->messages);
  watcher.reset();
  EXPECT_TRUE(status.ok()) << status.description();
  EXPECT_TRUE(shown) << "the calendar window never opened";
  return messages;
}

// `use` given the window's controls; a window that lacks one fails the test.
inline std::function<void(QWidget&)> WithControls(std::function<void(Controls&)> use) {
  return [use = std::move(use)](QWidget& window) {
    Controls controls(window);
    if (controls.complete()) {
      use(controls);
    } else {
      ADD_FAILURE() << "the calendar window lacks a control";
    }
  };
}

}  // namespace agendia::testing
