// Identifiers and variants: the values that cross the component's interface.

#include <agendia/calender.h>
#include <agendia/class_factory.h>
#include <agendia/variant.h>

#include <gtest/gtest.h>

namespace agendia {
namespace {

TEST(GuidTest, IdentifiersReadBackInTheirRegistryForm) {
  struct Case {
    Guid guid;
    const char* text;
  };
  const Case cases[] = {
      {libid::kAgendiaVB, "{EE2600D7-6355-480D-B19E-FE11CEB7E268}"},
      {clsid::kCalender, "{9743C9BA-1A0D-4FB9-9C91-565902349C19}"},
      {iid::k_Calender, "{205F0770-DB11-4662-8995-AB342F91D060}"},
      {iid::kIUnknown, "{00000000-0000-0000-C000-000000000046}"},
      {iid::kIDispatch, "{00020400-0000-0000-C000-000000000046}"},
      {iid::kIClassFactory, "{00000001-0000-0000-C000-000000000046}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.guid.ToString(), c.text);
    EXPECT_EQ(Guid::Parse(c.text), c.guid);
  }
}

TEST(GuidTest, FieldsFollowTheComLayout) {
  const Guid& g = clsid::kCalender;
  EXPECT_EQ(g.data1, 0x9743C9BAu);
  EXPECT_EQ(g.data2, 0x1A0D);
  EXPECT_EQ(g.data3, 0x4FB9);
  EXPECT_EQ(g.data4[0], 0x9C);
  EXPECT_EQ(g.data4[1], 0x91);
  EXPECT_EQ(g.data4[7], 0x19);
  EXPECT_EQ(sizeof(Guid), 16u);
}

TEST(GuidTest, LowerCaseDigitsParseAndEverythingElseIsRefused) {
  EXPECT_EQ(Guid::Parse("{9743c9ba-1a0d-4fb9-9c91-565902349c19}"), clsid::kCalender);
  for (const char* bad : {"", "9743C9BA-1A0D-4FB9-9C91-565902349C19",
                          "{9743C9BA-1A0D-4FB9-9C91-565902349C1}",
                          "{9743C9BA-1A0D-4FB9-9C91-565902349C19 }",
                          "{9743C9BA-1A0D-4FB9-9C91_565902349C19}",
                          "{9743C9BG-1A0D-4FB9-9C91-565902349C19}"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(Guid::Parse(bad).has_value());
  }
}

TEST(VariantTest, ConvertsToA32BitIntegerAsAutomationDoes) {
  struct Case {
    const char* name;
    Variant value;
    std::optional<int32_t> expected;  // nothing: type mismatch
  };
  std::string referenced = "-17";
  const Case cases[] = {
      {"empty", Variant(), 0},
      {"I2", Variant::I2(-5), -5},
      {"I4", Variant::I4(0x68030001), 0x68030001},
      {"true", Variant::Bool(true), -1},
      {"false", Variant::Bool(false), 0},
      {"decimal text", Variant::String(" 4097 "), 4097},
      {"signed text", Variant::String("+12"), 12},
      {"text by reference", Variant::StringRef(&referenced), -17},
      {"largest", Variant::String("2147483647"), 2147483647},
      {"out of range", Variant::String("2147483648"), std::nullopt},
      {"not a number", Variant::String("12a"), std::nullopt},
      {"empty text", Variant::String(""), std::nullopt},
      {"null reference", Variant::StringRef(nullptr), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StatusOr<int32_t> result = c.value.ToInt32();
    if (c.expected) {
      ASSERT_TRUE(result.ok()) << result.status().description();
      EXPECT_EQ(*result, *c.expected);
    } else {
      EXPECT_EQ(result.status().code(), hr::kTypeMismatch);
    }
  }
}

TEST(VariantTest, ConvertsToABooleanAsAutomationDoes) {
  struct Case {
    const char* name;
    Variant value;
    std::optional<bool> expected;
  };
  const Case cases[] = {
      {"empty", Variant(), false},          {"Bool true", Variant::Bool(true), true},
      {"I4 zero", Variant::I4(0), false},   {"I2 one", Variant::I2(1), true},
      {"True text", Variant::String("True"), true},
      {"false text", Variant::String("false"), false},
      {"number text", Variant::String("-1"), true},
      {"other text", Variant::String("yes"), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StatusOr<bool> result = c.value.ToBool();
    if (c.expected) {
      ASSERT_TRUE(result.ok()) << result.status().description();
      EXPECT_EQ(*result, *c.expected);
    } else {
      EXPECT_EQ(result.status().code(), hr::kTypeMismatch);
    }
  }
}

TEST(VariantTest, ABooleanIsTheSixteenBitWordMinusOneOrZero) {
  EXPECT_EQ(Variant::Bool(true).BoolValue(), -1);
  EXPECT_EQ(Variant::Bool(false).BoolValue(), 0);
  EXPECT_EQ(Variant::Bool(true).type(), VarType::kBool);
  EXPECT_NE(Variant::Bool(true), Variant::I2(-1));
}

TEST(VariantTest, AStringByReferenceIsTheCallersText) {
  std::string text = "abc";
  Variant by_reference = Variant::StringRef(&text);
  EXPECT_EQ(by_reference.StringPointer(), &text);
  Variant by_value = Variant::String("abc");
  ASSERT_NE(by_value.StringPointer(), nullptr);
  EXPECT_EQ(*by_value.StringPointer(), "abc");
  EXPECT_EQ(Variant::I4(1).StringPointer(), nullptr);
}

}  // namespace
}  // namespace agendia
