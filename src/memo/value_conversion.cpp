#include "memo/value_conversion.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace agendia::memo {
namespace {

constexpr uint32_t kControlFacility = 0x800A0000u;

Status NotADate(std::string_view text) {
  return Status::Error(conv::kTypeMismatch, "Type mismatch: '" + std::string(text) + "' is not a date");
}

Status Overflow() {
  return Status::Error(conv::kOverflow, "Overflow: the value does not fit a 16-bit whole number");
}

StatusOr<int16_t> CheckedInt16(double value) {
  if (!(value >= -32768.5 && value < 32767.5)) return Overflow();
  return static_cast<int16_t>(std::nearbyint(value));  // the default rounding is half to even
}

}  // namespace

int32_t ErrorNumber(const Status& status) {
  const auto code = static_cast<uint32_t>(status.code());
  if ((code & 0xFFFF0000u) == kControlFacility) return static_cast<int32_t>(code & 0xFFFFu);
  return status.code();
}

StatusOr<base::DateTime> TextToDateTime(std::string_view text) {
  auto value = base::ParseDateTime(text);
  if (!value) return NotADate(text);
  return *value;
}

StatusOr<base::Date> TextToDate(std::string_view text) {
  auto value = base::ParseDate(text);
  if (!value) return NotADate(text);
  return *value;
}

StatusOr<base::DateTime> ValueToDateTime(const db::FieldValue& value) {
  switch (value.type) {
    case db::FieldValue::Type::kDateTime:
      return value.date_time;
    case db::FieldValue::Type::kText:
      return TextToDateTime(value.text);
    case db::FieldValue::Type::kNull:
      return Status::Error(conv::kInvalidUseOfNull, "Invalid use of Null: the memo has no date");
    default:
      return NotADate(ValueToText(value));
  }
}

StatusOr<base::Date> ValueToDate(const db::FieldValue& value) {
  if (value.type == db::FieldValue::Type::kDateTime) return value.date_time.date;
  auto date_time = ValueToDateTime(value);
  if (!date_time.ok()) return date_time.status();
  return date_time->date;
}

StatusOr<int16_t> ValueToInt16(const db::FieldValue& value, int16_t null_value) {
  switch (value.type) {
    case db::FieldValue::Type::kNull:
      return null_value;
    case db::FieldValue::Type::kInteger:
      if (value.integer < -32768 || value.integer > 32767) return Overflow();
      return static_cast<int16_t>(value.integer);
    case db::FieldValue::Type::kReal:
      return CheckedInt16(value.real);
    case db::FieldValue::Type::kText: {
      const std::string trimmed = base::Trim(value.text);
      char* end = nullptr;
      errno = 0;
      const double number = trimmed.empty() ? 0 : std::strtod(trimmed.c_str(), &end);
      if (trimmed.empty() || end == nullptr || *end != '\0' || errno == ERANGE ||
          !std::isfinite(number)) {
        return Status::Error(conv::kTypeMismatch,
                             "Type mismatch: '" + value.text + "' is not a whole number");
      }
      return CheckedInt16(number);
    }
    case db::FieldValue::Type::kDateTime:
      break;
  }
  return Status::Error(conv::kTypeMismatch,
                       "Type mismatch: '" + ValueToText(value) + "' is not a whole number");
}

namespace {
void ConvertToText(const db::FieldValue& value, std::string& text) {
  switch (value.type) {
    case db::FieldValue::Type::kNull:
      text.clear();
      return;
    case db::FieldValue::Type::kInteger:
      text = std::to_string(value.integer);
      return;
    case db::FieldValue::Type::kReal: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", value.real);
      text = buffer;
      return;
    }
    case db::FieldValue::Type::kText:
      text.assign(value.text);
      return;
    case db::FieldValue::Type::kDateTime:
      text = base::FormatDateTime(value.date_time);
      return;
  }
}

}  // namespace

std::string ValueToText(const db::FieldValue& value) {
  std::string text;
  ConvertToText(value, text);
  return text;
}

const std::string& ValueAsText(const db::FieldValue& value, std::string& buffer) {
  if (value.type == db::FieldValue::Type::kText) return value.text;
  ConvertToText(value, buffer);
  return buffer;
}

}  // namespace agendia::memo
