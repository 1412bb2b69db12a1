// The window's own messages: their placeholders, and their English text
// built in for resource libraries that lack them.

#include "form/window_texts.h"
#include "resources/resource_library.h"

#include <gtest/gtest.h>

namespace agendia {
namespace {

TEST(FillPlaceholders, EachPlaceholderTakesItsValueOnceAndTheRestStaysAsWritten) {
  struct Case {
    const char* text;
    std::vector<std::string> values;
    const char* filled;
  };
  const Case cases[] = {
      {"%1 memos. The first: %2", {"3", "locked"}, "3 memos. The first: locked"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"saved: %1", {"50%2 done"}, "saved: 50%2 done"},  // a value is not read again
      {"%1 and %3", {"a", "b"}, "a and %3"},
      {"100% %1%", {"sure"}, "100% sure%"},
      {"%%1", {"x"}, "%x"},
      {"no placeholder", {"x"}, "no placeholder"},
      {"%0 %1", {}, "%0 %1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FillPlaceholders(c.text, c.values), c.filled);
  }
}

// The built-in English is what a user reads when the host's library lacks a
// key, so it says the same as the shipped English texts.
TEST(WindowTexts, TheBuiltInEnglishIsTheShippedEnglishText) {
  auto factory = resources::MakeFileResourceLibrary(AGENDIA_TEST_RESOURCE_DIR)->CreateResourceFactory();
  ASSERT_TRUE(factory.ok()) << factory.status().description();
  auto service = (*factory)->GetResourceService();
  ASSERT_TRUE(service.ok()) << service.status().description();
  for (const WindowText& text : {texts::kMemoGoneNotSaved, texts::kAnswerLost,
                                 texts::kAnswerLostNotListed, texts::kListReadAgain,
                                 texts::kListStillNotRead, texts::kMemoIdShared,
                                 texts::kSavedButNotListed, texts::kDeletedButNotListed,
                                 texts::kOneMemoLeftOut, texts::kMemosLeftOut}) {
    SCOPED_TRACE(text.key);
    auto shipped = (*service)->GetString(text.key, "en-us");
    ASSERT_TRUE(shipped.ok()) << shipped.status().description();
    EXPECT_EQ(*shipped, text.english);
  }
}

}  // namespace
}  // namespace agendia
