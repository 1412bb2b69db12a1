#pragma once

// Opens the calendar window on the memory platform and lets a test act in it
// while it is shown.

#include "db/default_client.h"
#include "form/frmCalendarInfo.h"
#include "form/pub.h"
#include "platform/memory/memory_platform.h"
#include "support/faulty_database.h"
#include "support/memo_database.h"
#include "support/recording_resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace agendia::testing {

struct UserContext {
  std::string conn;  // empty: the fixture's memo database
  std::string user = "demo";
  std::string account = "001";
  std::string year = "2024";
  std::string day = "2024-03-01";
  std::string language = "zh-cn";
};

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pub::g_bFormOpen = 0;
    pub::g_hPortal = 0;
    MakePlatform(platform::langid::kChineseSimplified);
  }
  void TearDown() override {
    pub::g_bFormOpen = 0;
    pub::g_hPortal = 0;
  }

  void MakePlatform(uint16_t lang_id, std::string resource_dir = AGENDIA_TEST_RESOURCE_DIR) {
    log = std::make_shared<ResourceLog>();
    db_log = std::make_shared<DatabaseLog>();
    memory = platform::memory::MakeMemoryPlatform(MakeRecordingResources(log, std::move(resource_dir)),
                                                  lang_id,
                                                  MakeFaultyClient(db::MakeDefaultClient(), db_log));
  }

  // Creates the window with `context` and shows it; `session` runs while it
  // is shown. Returns what Show returned.
  Status Open(const UserContext& context,
              std::function<void(platform::memory::MemoryFormWindow&, frmCalendarInfo&)> session = {}) {
    calendar = std::make_unique<frmCalendarInfo>(memory.platform);
    calendar->g_cConn = context.conn.empty() ? database.ConnectionString() : context.conn;
    calendar->g_cUser = context.user;
    calendar->g_cAccId = context.account;
    calendar->g_nYear = context.year;
    calendar->dayCurr = context.day;
    calendar->lanuage = context.language;
    memory.toolkit->while_shown = [this, session](platform::memory::MemoryFormWindow& window) {
      if (session) session(window, *calendar);
    };
    return calendar->Show(1);
  }

  // Texts of the message boxes shown so far.
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : memory.toolkit->message_boxes) texts.push_back(box.text);
    return texts;
  }

  MemoDatabase database;
  platform::memory::MemoryPlatform memory;
  std::shared_ptr<ResourceLog> log;
  std::shared_ptr<DatabaseLog> db_log;
  std::unique_ptr<frmCalendarInfo> calendar;  // the window object of the last Open
};

}  // namespace agendia::testing
