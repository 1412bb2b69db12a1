// The length limit the edit boxes of every toolkit share: characters as a
// person counts them, never half of a surrogate pair.
#include "platform/length_limit.h"

#include <gtest/gtest.h>

#include <string>

namespace agendia::platform {
namespace {

// U+1D11E MUSICAL SYMBOL G CLEF: one character, two UTF-16 units.
const std::u16string kClef = u"\U0001D11E";

std::u16string Repeat(const std::u16string& text, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(LengthLimitTest, CharactersOutsideTheBasicPlaneCountOnce) {
  struct Case {
    std::u16string text;
    int characters;
  };
  const Case cases[] = {
      {u"", 0},
      {u"abc", 3},
      {u"团队例会", 4},
      {Repeat(kClef, 20), 20},
      {u"a" + kClef + u"b", 3},
      // A lone half (a broken paste) is one character.
      {std::u16string(1, char16_t{0xD834}) + u"x", 2},
      {std::u16string(1, char16_t{0xDD1E}) + u"x", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.characters);
    EXPECT_EQ(CharacterCount(c.text), c.characters);
  }
}

TEST(LengthLimitTest, TheFirstCharactersNeverEndInsideAPair) {
  const std::u16string text = u"a" + Repeat(kClef, 12);  // 13 characters, 25 units
  EXPECT_EQ(UnitsOfFirstCharacters(text, 0), 0U);
  EXPECT_EQ(UnitsOfFirstCharacters(text, 1), 1U);
  EXPECT_EQ(UnitsOfFirstCharacters(text, 2), 3U);
  EXPECT_EQ(UnitsOfFirstCharacters(text, 12), 23U);
  EXPECT_EQ(UnitsOfFirstCharacters(text, 13), 25U);
  EXPECT_EQ(UnitsOfFirstCharacters(text, 100), 25U);
}

TEST(LengthLimitTest, TheCharactersBeforeAPointNeverStartInsideAPair) {
  const std::u16string text = u"ab" + kClef + u"c";  // units: a b hi lo c
  EXPECT_EQ(UnitsOfCharactersBefore(text, 5, 1), 1U);
  EXPECT_EQ(UnitsOfCharactersBefore(text, 5, 2), 3U);
  EXPECT_EQ(UnitsOfCharactersBefore(text, 4, 1), 2U);
  EXPECT_EQ(UnitsOfCharactersBefore(text, 5, 9), 5U);
  EXPECT_EQ(UnitsOfCharactersBefore(text, 99, 1), 1U);
}

TEST(LengthLimitTest, AProgramTextBeyondTheLimitIsAllowedButNotGrown) {
  LengthLimit limit(24);
  EXPECT_EQ(limit.Excess(24), 0);
  EXPECT_EQ(limit.Excess(25), 1);
  EXPECT_EQ(limit.Room(20), 4);
  limit.Holds(30);  // a stored title of 30 characters
  EXPECT_EQ(limit.Excess(30), 0);
  EXPECT_EQ(limit.Excess(31), 1);
  EXPECT_EQ(limit.Room(30), 0);
  EXPECT_EQ(limit.Room(29), 1);
  limit.Holds(3);  // the next text is short again: the design's limit holds
  EXPECT_EQ(limit.Excess(25), 1);

  LengthLimit none(0);
  EXPECT_EQ(none.Excess(100000), 0);
  EXPECT_EQ(none.Room(100000), -1);
}

// 20 pasted clefs stay 20 characters under a limit of 24, where a limit in
// UTF-16 units would keep 12.
TEST(LengthLimitTest, TwentyCharactersOutsideTheBasicPlaneFitALimitOfTwentyFour) {
  const LengthLimit limit(24);
  const std::u16string pasted = Repeat(kClef, 20);
  const LengthCut cut = CutOverLimit(pasted, pasted.size(), limit);
  EXPECT_EQ(cut.units, 0U);
}

TEST(LengthLimitTest, AnEditOverTheLimitLosesTheCharactersJustBeforeTheCursor) {
  struct Case {
    const char* what;
    std::u16string text;
    std::size_t cursor;
    int max;
    std::size_t start;
    std::size_t units;
  };
  const Case cases[] = {
      {"typed at the end", u"1234", 4, 3, 3, 1},
      {"typed in the middle", u"12x34", 3, 4, 2, 1},
      {"a pair typed last goes whole", u"12" + kClef, 4, 2, 2, 2},
      {"a paste of pairs in the middle", u"a" + Repeat(kClef, 3) + u"z", 7, 3, 3, 4},
      {"cursor at the start: the end goes", u"abcd", 0, 3, 3, 1},
      {"nothing over", u"abc", 3, 3, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LengthCut cut = CutOverLimit(c.text, c.cursor, LengthLimit(c.max));
    EXPECT_EQ(cut.start, c.start);
    EXPECT_EQ(cut.units, c.units);
  }
}

}  // namespace
}  // namespace agendia::platform
