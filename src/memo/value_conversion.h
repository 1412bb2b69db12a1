#pragma once

#include "base/date_text.h"
#include "db/database.h"

#include <agendia/status.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace agendia::memo {

// Conversion failures, numbered as the host's runtime numbers them (its
// control facility), so a message shows the short number a host knows.
namespace conv {
inline constexpr int32_t kOverflow = int32_t(0x800A0006);         // 6
inline constexpr int32_t kTypeMismatch = int32_t(0x800A000D);     // 13
inline constexpr int32_t kInvalidUseOfNull = int32_t(0x800A005E); // 94
}  // namespace conv

// The number a person is shown for a failure: failures of the control
// facility (the runtime's and the database client's own) by their short
// number, every other failure by its full signed code.
int32_t ErrorNumber(const Status& status);

// A date (with optional time) read from text: "yyyy-mm-dd" or "yyyy/m/d",
// optionally followed by "hh:mm" or "hh:mm:ss". Fails with kTypeMismatch.
StatusOr<base::DateTime> TextToDateTime(std::string_view text);
StatusOr<base::Date> TextToDate(std::string_view text);

// A column value as a date-time: a date-time value as it is, a text as
// TextToDateTime reads it. NULL fails with kInvalidUseOfNull, anything else
// with kTypeMismatch.
StatusOr<base::DateTime> ValueToDateTime(const db::FieldValue& value);

// The calendar date of a column value, as ValueToDateTime reads it.
StatusOr<base::Date> ValueToDate(const db::FieldValue& value);

// A column value as a 16-bit whole number: NULL gives `null_value`, a real is
// rounded half to even, a text must read as a number. Fails with kOverflow
// outside -32768..32767 and kTypeMismatch for anything else.
StatusOr<int16_t> ValueToInt16(const db::FieldValue& value, int16_t null_value);

// A column value as text: NULL gives "", numbers in decimal, a date-time as
// "yyyy-mm-dd hh:mm:ss".
std::string ValueToText(const db::FieldValue& value);
// The same, without a copy when the value is text already: the value's own
// text, or `buffer` holding the converted value.
const std::string& ValueAsText(const db::FieldValue& value, std::string& buffer);

}  // namespace agendia::memo
