#include "db/odbc/wide_text.h"

#include <cstdint>

namespace agendia::db {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at text[pos]; pos moves past it.
char32_t NextCodePoint(std::string_view text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t point = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, point = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, point = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, point = lead & 0x07, minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(text[pos]);
    if ((next & 0xC0) != 0x80) return kReplacement;  // the byte starts the next character
    point = (point << 6) | (next & 0x3F);
    ++pos;
  }
  if (point < minimum || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return kReplacement;
  }
  return point;
}

void AppendUtf8(char32_t point, std::string& out) {
  if (point < 0x80) {
    out.push_back(char(point));
  } else if (point < 0x800) {
    out.push_back(char(0xC0 | (point >> 6)));
    out.push_back(char(0x80 | (point & 0x3F)));
  } else if (point < 0x10000) {
    out.push_back(char(0xE0 | (point >> 12)));
    out.push_back(char(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(char(0x80 | (point & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (point >> 18)));
    out.push_back(char(0x80 | ((point >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(char(0x80 | (point & 0x3F)));
  }
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    const char32_t point = NextCodePoint(text, pos);
    // U+FFFD itself is valid when it was written as its three bytes.
    if (point == kReplacement && pos - start != 3) return false;
    if (point == kReplacement && text.substr(start, 3) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

std::string ValidUtf8(std::string text) {
  if (IsValidUtf8(text)) return text;
  return Utf16ToUtf8(Utf8ToUtf16(text));
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t point = NextCodePoint(text, pos);
    if (point < 0x10000) {
      out.push_back(char16_t(point));
    } else {
      const char32_t offset = point - 0x10000;
      out.push_back(char16_t(0xD800 + (offset >> 10)));
      out.push_back(char16_t(0xDC00 + (offset & 0x3FF)));
    }
  }
  return out;
}

void AppendUtf16AsUtf8(std::u16string_view text, std::string& out) {
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(char(unit));
      continue;
    }
    char32_t point = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        point = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
        ++i;
      } else {
        point = kReplacement;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      point = kReplacement;
    }
    AppendUtf8(point, out);
  }
}

}  // namespace agendia::db
