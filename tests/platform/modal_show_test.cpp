#include "platform/modal_show.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace agendia::platform {
namespace {

// Records the events, and the show's state at each, as "event:in-modal".
class RecordingEvents final : public FormEvents {
 public:
  explicit RecordingEvents(const ModalShow& show) : show_(show) {}
  Status Form_Load() override {
    Record("load");
    return load_result;
  }
  void Form_Resize() override { Record("resize"); }
  void Form_Activate() override { Record("activate"); }
  void Form_Unload() override { Record("unload"); }
  void Record(const std::string& what) { log.push_back(what + (show_.InModal() ? ":in" : ":out")); }

  Status load_result = Status::Ok();
  std::vector<std::string> log;

 private:
  const ModalShow& show_;
};

Status Show(ModalShow& show, RecordingEvents& events, bool window_exists = true) {
  return show.Run(window_exists, events, [&] { events.Record("loop"); },
                  [&] { events.Record("destroy"); });
}

TEST(ModalShow, LoadsRunsTheLoopUnloadsAndDestroysInThatOrder) {
  ModalShow show;
  RecordingEvents events(show);
  EXPECT_TRUE(Show(show, events).ok());
  EXPECT_EQ(events.log, (std::vector<std::string>{"load:in", "loop:in", "unload:out", "destroy:out"}));
  EXPECT_FALSE(show.InModal());
}

TEST(ModalShow, AFailedLoadIsReturnedAndDestroysTheWindowWithoutShowingIt) {
  ModalShow show;
  RecordingEvents events(show);
  events.load_result = Status::Error(hr::kFail, "no database");
  const Status status = Show(show, events);
  EXPECT_EQ(status.code(), hr::kFail);
  EXPECT_EQ(status.description(), "no database");
  EXPECT_EQ(events.log, (std::vector<std::string>{"load:in", "destroy:out"}));
}

TEST(ModalShow, AWindowIsShownOnceAndAWindowGoneNotAtAll) {
  for (bool load_fails : {false, true}) {
    SCOPED_TRACE(load_fails ? "after a failed load" : "after a show");
    ModalShow show;
    RecordingEvents events(show);
    if (load_fails) events.load_result = Status::Error(hr::kFail, "no database");
    (void)Show(show, events);
    events.log.clear();
    const Status again = Show(show, events);
    EXPECT_EQ(again.code(), hr::kUnexpected);
    EXPECT_EQ(again.description(), "The window has been unloaded and cannot be shown again");
    EXPECT_TRUE(events.log.empty());
  }
  ModalShow show;
  RecordingEvents events(show);
  EXPECT_EQ(Show(show, events, /*window_exists=*/false).code(), hr::kUnexpected);
  EXPECT_TRUE(events.log.empty());
}

}  // namespace
}  // namespace agendia::platform
