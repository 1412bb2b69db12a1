#include "platform/length_limit.h"

namespace agendia::platform {
namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

int CharacterCount(std::u16string_view text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(IsLow(text[i]) && i > 0 && IsHigh(text[i - 1]))) ++count;
  }
  return count;
}

std::size_t UnitsOfFirstCharacters(std::u16string_view text, int count) {
  std::size_t units = 0;
  for (int seen = 0; units < text.size() && seen < count; ++seen) {
    units += IsHigh(text[units]) && units + 1 < text.size() && IsLow(text[units + 1]) ? 2 : 1;
  }
  return units;
}

std::size_t UnitsOfCharactersBefore(std::u16string_view text, std::size_t end, int count) {
  if (end > text.size()) end = text.size();
  std::size_t start = end;
  for (int i = 0; i < count && start > 0; ++i) {
    --start;
    if (IsLow(text[start]) && start > 0 && IsHigh(text[start - 1])) --start;
  }
  return end - start;
}

LengthCut CutOverLimit(std::u16string_view text, std::size_t cursor, const LengthLimit& limit) {
  if (cursor > text.size()) cursor = text.size();
  const int excess = limit.Excess(CharacterCount(text));
  if (excess <= 0) return {cursor, 0};
  // Too few characters before the cursor: the edit went in elsewhere, and
  // the text's end is where the excess is taken from.
  const int before = CharacterCount(text.substr(0, cursor));
  const std::size_t end = before < excess ? text.size() : cursor;
  const std::size_t units = UnitsOfCharactersBefore(text, end, excess);
  return {end - units, units};
}

}  // namespace agendia::platform
