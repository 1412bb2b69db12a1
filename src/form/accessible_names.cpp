#include "form/accessible_names.h"

#include <initializer_list>
#include <string_view>

namespace agendia {
namespace {

bool EndsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Drops one trailing piece of `pieces` from `text`; returns whether it did.
bool DropTail(std::string& text, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) {
    if (EndsWith(text, piece)) {
      text.erase(text.size() - piece.size());
      return true;
    }
  }
  return false;
}

}  // namespace

std::string AccessibleNameOf(const std::string& caption) {
  std::string name;
  name.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    // A mnemonic written apart, as Chinese captions do: "(&A)" says nothing.
    if (caption[i] == '(' && i + 3 < caption.size() && caption[i + 1] == '&' &&
        caption[i + 2] != '&' && caption[i + 3] == ')') {
      i += 3;
      continue;
    }
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') name.push_back('&');
      ++i;
      if (i < caption.size() && caption[i] != '&') name.push_back(caption[i]);
      continue;
    }
    name.push_back(caption[i]);
  }
  while (DropTail(name, {" ", "\t", ":", "\xEF\xBC\x9A" /* full-width colon */})) {
  }
  return name;
}

}  // namespace agendia
