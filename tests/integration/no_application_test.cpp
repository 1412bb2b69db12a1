#include <agendia/create_calender.h>

#include "support/memo_database.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

TEST(HostWithoutApplication, CalendarStartsQtForTheCallAndEndsItAfterwards) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  auto created = agendia::CreateCalender();
  ASSERT_TRUE(created.ok()) << created.status().description();
  auto calendar = *created;

  // Once the component has started Qt, close the window from Qt's own
  // thread (this one, inside the modal wait) by posting to the application.
  // The mutex keeps the application from going away while a post is made:
  // once the window has been closed no further post happens.
  std::atomic<bool> stop{false};
  std::mutex mutex;
  bool saw_window = false;
  std::thread closer([&] {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stop && std::chrono::steady_clock::now() < deadline) {
      {
        std::lock_guard lock(mutex);
        if (saw_window) break;
        if (QCoreApplication* app = QCoreApplication::instance()) {
          QMetaObject::invokeMethod(
              app,
              [&] {
                std::lock_guard inner(mutex);
                if (QWidget* window = QApplication::activeModalWidget()) {
                  saw_window = true;
                  window->close();
                }
              },
              Qt::QueuedConnection);
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });

  agendia::testing::MemoDatabase database;
  std::string conn = database.ConnectionString(), user = "demo", account = "001",
              year = "2024", day = "2024-03-01", language = "en-us";
  agendia::Status status =
      calendar->CalenderDesign(&conn, &user, &account, &year, &day, &language);
  stop = true;
  closer.join();
  ASSERT_TRUE(status.ok()) << status.description();
  EXPECT_TRUE(saw_window);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

}  // namespace
