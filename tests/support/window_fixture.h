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
#include <vector>

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

  // Shows memo `id`, Modify, types `typed` as its title, `delete_memo` takes
  // the memo away past the window (false: it could not), Save: the editor
  // keeps what was typed and one message ends with the number of a memo not
  // found (3021).
  void ExpectSaveOfAMemoDeletedMeanwhileKeepsTheTypedText(const UserContext& context,
                                                         const std::string& id,
                                                         const std::string& typed,
                                                         const std::function<bool()>& delete_memo) {
    std::string title_after;
    ASSERT_TRUE(Open(context, [&](platform::memory::MemoryFormWindow& w, frmCalendarInfo&) {
                  ASSERT_TRUE(w.Tree("tvInfo")->ClickNode(id));
                  ASSERT_TRUE(w.Button("btnModify")->Click());
                  w.Edit("txtTitle")->SetText(typed);
                  ASSERT_TRUE(delete_memo());
                  ASSERT_TRUE(w.Button("btnSave")->Click());
                  title_after = w.Edit("txtTitle")->Text();
                }).ok());
    const std::vector<std::string> messages = MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].ends_with("(3021)")) << messages[0];
    EXPECT_EQ(title_after, typed);
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
