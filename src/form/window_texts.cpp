#include "form/window_texts.h"

namespace agendia {

std::string FillPlaceholders(std::string_view text, const std::vector<std::string>& values) {
  std::string filled;
  filled.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char next = at + 1 < text.size() ? text[at + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (text[at] == '%' && next >= '1' && next <= '9' && index < values.size()) {
      filled += values[index];
      ++at;
    } else {
      filled += text[at];
    }
  }
  return filled;
}

}  // namespace agendia
