#include "memo/value_conversion.h"

#include <gtest/gtest.h>

namespace agendia::memo {
namespace {

db::FieldValue Null() { return {}; }
db::FieldValue Integer(int64_t v) {
  db::FieldValue value;
  value.type = db::FieldValue::Type::kInteger;
  value.integer = v;
  return value;
}
db::FieldValue Real(double v) {
  db::FieldValue value;
  value.type = db::FieldValue::Type::kReal;
  value.real = v;
  return value;
}
db::FieldValue Text(std::string v) {
  db::FieldValue value;
  value.type = db::FieldValue::Type::kText;
  value.text = std::move(v);
  return value;
}
db::FieldValue When(base::DateTime v) {
  db::FieldValue value;
  value.type = db::FieldValue::Type::kDateTime;
  value.date_time = v;
  return value;
}

TEST(ValueConversionTest, ErrorNumbersOfTheControlFacilityAreShownShort) {
  EXPECT_EQ(ErrorNumber(Status::Error(conv::kTypeMismatch, "")), 13);
  EXPECT_EQ(ErrorNumber(Status::Error(db::err::kItemNotFound, "")), 3265);
  EXPECT_EQ(ErrorNumber(Status::Error(db::err::kUnspecified, "")), -2147467259);
  EXPECT_EQ(ErrorNumber(Status::Error(db::err::kTimeout, "")), -2147217871);
}

TEST(ValueConversionTest, TheKindIsASixteenBitNumberWithNullAsOnce) {
  struct Case {
    db::FieldValue value;
    std::optional<int16_t> kind;  // nothing: the conversion fails
    int32_t error = 0;
  };
  const Case cases[] = {
      {Null(), 0},
      {Integer(5), 5},
      {Integer(-1), -1},
      {Integer(32767), 32767},
      {Integer(32768), std::nullopt, 6},
      {Integer(-40000), std::nullopt, 6},
      {Real(2.5), 2},  // half to even
      {Real(3.5), 4},
      {Text(" 3 "), 3},
      {Text("weekly"), std::nullopt, 13},
      {Text(""), std::nullopt, 13},
      {When({{2024, 1, 1}, 0, 0, 0}), std::nullopt, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ValueToText(c.value));
    auto kind = ValueToInt16(c.value, 0);
    ASSERT_EQ(kind.ok(), c.kind.has_value());
    if (c.kind) {
      EXPECT_EQ(*kind, *c.kind);
    } else {
      EXPECT_EQ(ErrorNumber(kind.status()), c.error);
    }
  }
}

TEST(ValueConversionTest, TheSendDateReadsFromDateTimesAndDateTexts) {
  auto from_value = ValueToDateTime(When({{2024, 3, 1}, 7, 5, 0}));
  ASSERT_TRUE(from_value.ok());
  EXPECT_EQ(from_value->hour, 7);
  auto from_text = ValueToDateTime(Text("2024-03-01 00:00:00"));
  ASSERT_TRUE(from_text.ok());
  EXPECT_EQ(from_text->date, (base::Date{2024, 3, 1}));

  EXPECT_EQ(ErrorNumber(ValueToDateTime(Null()).status()), 94);
  EXPECT_EQ(ErrorNumber(ValueToDateTime(Text("soon")).status()), 13);
  EXPECT_EQ(ErrorNumber(ValueToDateTime(Integer(45000)).status()), 13);
}

TEST(ValueConversionTest, TheMemoDateIsTheCalendarDateOfTheSendTime) {
  EXPECT_EQ(*ValueToDate(When({{2024, 3, 1}, 9, 30, 0})), (base::Date{2024, 3, 1}));
  EXPECT_EQ(*ValueToDate(Text("2024/3/1 9:30")), (base::Date{2024, 3, 1}));
  EXPECT_EQ(ErrorNumber(ValueToDate(Text("someday")).status()), 13);
  EXPECT_EQ(ErrorNumber(ValueToDate(Null()).status()), 94);
}

TEST(ValueConversionTest, TextsShowNullAsEmptyAndKeepSpaces) {
  EXPECT_EQ(ValueToText(Null()), "");
  EXPECT_EQ(ValueToText(Text("  spaced  ")), "  spaced  ");
  EXPECT_EQ(ValueToText(Integer(-12)), "-12");
  EXPECT_EQ(ValueToText(Real(0.5)), "0.5");
  EXPECT_EQ(ValueToText(When({{2024, 3, 1}, 9, 30, 0})), "2024-03-01 09:30:00");
}

}  // namespace
}  // namespace agendia::memo
