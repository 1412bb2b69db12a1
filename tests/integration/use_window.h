#pragma once

// Opens the real calendar window through the component's interface and lets
// a test act in it from inside its modal loop, as the window tests do.

#include <agendia/calender.h>

#include "integration/calendar_controls.h"
#include "integration/modal_watcher.h"

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace agendia::testing {

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
