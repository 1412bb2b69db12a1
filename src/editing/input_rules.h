#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace agendia::editing {

// The characters a title or a content never takes from the keyboard: full
// stop, apostrophe, less-than and greater-than sign. Compared exactly, so the
// full-width forms of these characters pass.
inline constexpr std::u16string_view kExcludedTextChars = u".'<>";

// Key-press rule of the title and content: the typed character code, or 0 when
// the character is one of kExcludedTextChars. Everything else passes,
// control characters and characters beyond basic Latin included.
int16_t FilterTextKey(int16_t key_ascii);

// Key-press rule of the time fields: digits and backspace pass, every other
// code becomes 0.
int16_t FilterDigitKey(int16_t key_ascii);

// A time field's text read as a whole number: ASCII digits only, surrounding
// spaces allowed (Save trims them too). Nothing for "", for signs, letters,
// full-width digits, or a number too large for the field.
std::optional<int> ReadTimeNumber(std::string_view text);

// What a time field's text becomes after a key is released: a number above
// `highest` is cut down to it; "", text that is not a whole number (pasted)
// and numbers within bounds stay as they are (no padding: "7" and "07" stay).
// Nothing when the text does not change.
std::optional<std::string_view> ClampedTimeText(std::string_view text, int highest,
                                                std::string_view highest_text);

}  // namespace agendia::editing
