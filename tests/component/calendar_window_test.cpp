// CalenderDesign: opening the calendar window, a second call while it is
// open, and starts that fail.

#include "component/calender_fixture.h"
#include "component/module_objects.h"

#include <functional>
#include <optional>

namespace agendia::testing {
namespace {

using platform::memory::MemoryFormWindow;

class CalendarWindowTest : public CalenderFixture {
 protected:
  // Runs `session` while the window is shown.
  void WhileShown(std::function<void(MemoryFormWindow&)> session) {
    memory.toolkit->while_shown = std::move(session);
  }
};

TEST_F(CalendarWindowTest, OpensOneWindowHoldingTheUserContextUntilTheUserClosesIt) {
  auto calender = NewCalender();
  DesignArgs args{"Server=db;", "u42", "acc7", "2023", "2023-12-24", "zh-tw"};
  std::optional<DesignArgs> shown_context;
  int16_t flag_while_shown = 0;
  bool window_was_shown = false;
  WhileShown([&](MemoryFormWindow& window) {
    window_was_shown = window.IsShown();
    flag_while_shown = pub::g_bFormOpen;
    if (calender->CalendarWindow()) shown_context = ContextOf(*calender->CalendarWindow());
  });

  Status status = args.CallOn(*calender);

  ASSERT_TRUE(status.ok()) << status.description();
  EXPECT_TRUE(window_was_shown);
  EXPECT_EQ(memory.toolkit->forms_created, 1);
  EXPECT_EQ(flag_while_shown, -1);
  EXPECT_EQ(pub::g_bFormOpen, 0);
  ASSERT_TRUE(shown_context.has_value());
  EXPECT_TRUE(*shown_context == args);
}

TEST_F(CalendarWindowTest, TheCallNeverWritesBackThroughItsArguments) {
  auto calender = NewCalender();
  DesignArgs args;
  args.language = "ZH-CN";  // the window lower-cases its own copy
  const DesignArgs before = args;
  ASSERT_TRUE(args.CallOn(*calender).ok());
  EXPECT_TRUE(args == before);
}

// A message box shown while the window loads (here: the memo table cannot be
// read) lets a second call in before the window is shown. It gets success and
// changes nothing, as while the window is shown.
TEST_F(CalendarWindowTest, SecondCallDuringAMessageOfTheLoadSucceedsAndChangesNothing) {
  auto calender = NewCalender();
  DesignArgs first;
  std::optional<Status> second_status;
  memory.toolkit->on_message_box = [&](const platform::memory::MemoryToolkit::MessageBoxCall&) {
    if (!second_status) second_status = DesignArgs{"other", "other"}.CallOn(*calender);
  };

  ASSERT_TRUE(first.CallOn(*calender).ok());

  ASSERT_TRUE(second_status.has_value()) << "the load showed no message";
  EXPECT_TRUE(second_status->ok()) << second_status->description();
  EXPECT_EQ(memory.toolkit->forms_created, 1);
  EXPECT_EQ(ContextOf(*calender->CalendarWindow()).user, first.user);
}

TEST_F(CalendarWindowTest, SecondCallWhileOpenBringsTheWindowForwardAndChangesNothing) {
  auto calender = NewCalender();
  DesignArgs first;
  DesignArgs second{"other", "other", "other", "1999", "1999-01-01", "zh-cn"};
  Status second_status = Status::Fail("not called");
  int bring_to_front_calls = -1;
  const frmCalendarInfo* window_before = nullptr;
  const frmCalendarInfo* window_after = nullptr;
  std::optional<DesignArgs> context_after;
  WhileShown([&](MemoryFormWindow& window) {
    window_before = calender->CalendarWindow();
    second_status = second.CallOn(*calender);
    bring_to_front_calls = window.bring_to_front_calls;
    window_after = calender->CalendarWindow();
    context_after = ContextOf(*calender->CalendarWindow());
  });

  ASSERT_TRUE(first.CallOn(*calender).ok());

  EXPECT_TRUE(second_status.ok()) << second_status.description();
  EXPECT_EQ(bring_to_front_calls, 1);
  EXPECT_EQ(memory.toolkit->forms_created, 1);
  EXPECT_EQ(window_after, window_before);
  ASSERT_TRUE(context_after.has_value());
  EXPECT_EQ(context_after->user, first.user);
  EXPECT_EQ(context_after->day, first.day);
  EXPECT_EQ(context_after->conn, first.conn);
}

TEST_F(CalendarWindowTest, AnotherObjectCallingWhileAWindowIsOpenSucceedsWithoutAction) {
  auto owner = NewCalender();
  auto other = NewCalender();
  Status other_status = Status::Fail("not called");
  int bring_to_front_calls = -1;
  int16_t flag_after = 0;
  WhileShown([&](MemoryFormWindow& window) {
    DesignArgs args;
    other_status = args.CallOn(*other);
    bring_to_front_calls = window.bring_to_front_calls;
    flag_after = pub::g_bFormOpen;
  });

  ASSERT_TRUE(DesignArgs{}.CallOn(*owner).ok());

  EXPECT_TRUE(other_status.ok()) << other_status.description();
  EXPECT_EQ(bring_to_front_calls, 0);
  EXPECT_EQ(memory.toolkit->forms_created, 1);
  EXPECT_EQ(other->CalendarWindow(), nullptr);
  EXPECT_EQ(flag_after, -1);
}

TEST_F(CalendarWindowTest, AnObjectWhoseOwnWindowClosedLeavesAnotherObjectsOpenWindowAlone) {
  auto first = NewCalender();
  auto second = NewCalender();
  ASSERT_TRUE(DesignArgs{}.CallOn(*first).ok());  // opened and closed
  Status status = Status::Fail("not called");
  int bring_to_front_calls = -1;
  WhileShown([&](MemoryFormWindow& window) {
    status = DesignArgs{}.CallOn(*first);
    bring_to_front_calls = window.bring_to_front_calls;
  });
  ASSERT_TRUE(DesignArgs{}.CallOn(*second).ok());
  EXPECT_TRUE(status.ok()) << status.description();
  EXPECT_EQ(bring_to_front_calls, 0);
  EXPECT_EQ(memory.toolkit->forms_created, 2);
}

TEST_F(CalendarWindowTest, AfterClosingANewCallOpensANewWindowWithTheNewValues) {
  auto calender = NewCalender();
  DesignArgs first;
  DesignArgs second{"Server=two;", "u2", "a2", "2025", "2025-06-30", "zh-cn"};
  std::vector<DesignArgs> shown;
  WhileShown([&](MemoryFormWindow&) { shown.push_back(ContextOf(*calender->CalendarWindow())); });

  ASSERT_TRUE(first.CallOn(*calender).ok());
  const frmCalendarInfo* first_window = calender->CalendarWindow();
  ASSERT_TRUE(second.CallOn(*calender).ok());

  EXPECT_EQ(memory.toolkit->forms_created, 2);
  EXPECT_NE(calender->CalendarWindow(), first_window);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(shown[0] == first);
  EXPECT_TRUE(shown[1] == second);
}

TEST_F(CalendarWindowTest, AFailedStartReturnsItsCauseAndTheNextCallTriesAfresh) {
  struct Case {
    const char* name;
    std::function<void(platform::memory::MemoryPlatform&)> break_platform;
    int32_t code;
    std::string description_part;
  };
  const std::string missing_dir = std::string(AGENDIA_TEST_RESOURCE_DIR) + "/no-such-folder";
  const Case cases[] = {
      {"window cannot be built",
       [](auto& m) { m.toolkit->fail_create_form = Status::Fail("no display to show on"); },
       hr::kFail, "no display to show on"},
      {"toolkit cannot start",
       [](auto& m) {
         m.toolkit->fail_runtime = Status::Error(hr::kUnexpected, "toolkit runtime refused");
       },
       hr::kUnexpected, "toolkit runtime refused"},
      {"resource library missing",
       [&](auto& m) { m.platform->resources = resources::MakeFileResourceLibrary(missing_dir); },
       hr::kClassNotRegistered, missing_dir},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    auto calender = NewCalender();
    c.break_platform(memory);

    Status failed = DesignArgs{}.CallOn(*calender);
    EXPECT_EQ(failed.code(), c.code);
    EXPECT_NE(failed.description().find(c.description_part), std::string::npos)
        << failed.description();
    EXPECT_EQ(pub::g_bFormOpen, 0);

    // Mend the platform: the same object opens the window on its next call.
    memory.toolkit->fail_create_form.reset();
    memory.toolkit->fail_runtime.reset();
    memory.platform->resources = resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR);
    bool shown = false;
    WhileShown([&](MemoryFormWindow&) { shown = true; });
    Status retried = DesignArgs{}.CallOn(*calender);
    EXPECT_TRUE(retried.ok()) << retried.description();
    EXPECT_TRUE(shown);
  }
}

TEST_F(CalendarWindowTest, NullArgumentFailsWithEPointerNamingItAndOpensNothing) {
  const char* const names[] = {"VxDbName", "cUserID", "cAcc_ID", "cIYear", "dayCurr", "language"};
  auto calender = NewCalender();
  for (int missing = 0; missing < 6; ++missing) {
    SCOPED_TRACE(names[missing]);
    DesignArgs args;
    std::string* p[6] = {&args.conn, &args.user, &args.account, &args.year, &args.day, &args.language};
    p[missing] = nullptr;
    Status status = calender->CalenderDesign(p[0], p[1], p[2], p[3], p[4], p[5]);
    EXPECT_EQ(status.code(), hr::kPointer);
    EXPECT_NE(status.description().find(names[missing]), std::string::npos) << status.description();
    EXPECT_EQ(pub::g_bFormOpen, 0);
  }
  EXPECT_EQ(memory.toolkit->forms_created, 0);
}

TEST_F(CalendarWindowTest, ReleasingTheObjectWhileItsWindowIsOpenKeepsItAliveUntilClosed) {
  auto calender = NewCalender();
  Calender* raw = calender.get();
  int32_t unload_while_shown = -1;
  WhileShown([&](MemoryFormWindow&) {
    calender.Reset();  // the host lets go of its only reference
    unload_while_shown = component::CanUnloadNow();
  });
  EXPECT_TRUE(DesignArgs{}.CallOn(*raw).ok());
  EXPECT_EQ(unload_while_shown, hr::kFalse);
  EXPECT_EQ(component::CanUnloadNow(), hr::kOk);
}

}  // namespace
}  // namespace agendia::testing
