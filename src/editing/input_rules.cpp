#include "editing/input_rules.h"

namespace agendia::editing {

namespace {
constexpr int16_t kBackspace = 8;
// Two digits are all a time field holds; a few more keep pasted text with
// leading zeros readable without risking overflow.
constexpr std::string_view::size_type kMostDigits = 9;
}  // namespace

int16_t FilterTextKey(int16_t key_ascii) {
  const auto unit = static_cast<char16_t>(key_ascii);
  return kExcludedTextChars.find(unit) == std::u16string_view::npos ? key_ascii : int16_t{0};
}

int16_t FilterDigitKey(int16_t key_ascii) {
  const bool digit = key_ascii >= '0' && key_ascii <= '9';
  return digit || key_ascii == kBackspace ? key_ascii : int16_t{0};
}

std::optional<int> ReadTimeNumber(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (text.size() > kMostDigits) return std::nullopt;
  int value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  return value;
}

std::optional<std::string_view> ClampedTimeText(std::string_view text, int highest,
                                                std::string_view highest_text) {
  if (text.empty()) return std::nullopt;
  const std::optional<int> value = ReadTimeNumber(text);
  if (!value || *value <= highest) return std::nullopt;
  return highest_text;
}

}  // namespace agendia::editing
