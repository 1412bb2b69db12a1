#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace agendia {

// A 128-bit identifier of a class, an interface or a type library, with the
// field layout of a COM GUID, so a Guid can cross the C entry points as is.
struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  // Reads the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; hex
  // digits of either case, braces required. Nothing for any other text.
  static constexpr std::optional<Guid> Parse(std::string_view text);

  // A Guid from a literal that is known to be well formed; a malformed
  // literal fails to compile.
  static consteval Guid Literal(std::string_view text) {
    auto guid = Parse(text);
    if (!guid) throw "malformed GUID literal";
    return *guid;
  }

  // The registry form, upper-case, with braces.
  std::string ToString() const;

  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

namespace guid_detail {
constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
// Reads `digits` hex digits of `text` from `pos`; -1 when one is not hex.
constexpr int64_t HexField(std::string_view text, size_t pos, size_t digits) {
  int64_t value = 0;
  for (size_t i = 0; i < digits; ++i) {
    int v = HexValue(text[pos + i]);
    if (v < 0) return -1;
    value = value * 16 + v;
  }
  return value;
}
}  // namespace guid_detail

constexpr std::optional<Guid> Guid::Parse(std::string_view text) {
  using guid_detail::HexField;
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  // 0        9    14   19   24           37
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
      text[14] != '-' || text[19] != '-' || text[24] != '-') {
    return std::nullopt;
  }
  Guid guid;
  int64_t d1 = HexField(text, 1, 8);
  int64_t d2 = HexField(text, 10, 4);
  int64_t d3 = HexField(text, 15, 4);
  if (d1 < 0 || d2 < 0 || d3 < 0) return std::nullopt;
  guid.data1 = static_cast<uint32_t>(d1);
  guid.data2 = static_cast<uint16_t>(d2);
  guid.data3 = static_cast<uint16_t>(d3);
  constexpr size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (size_t i = 0; i < 8; ++i) {
    int64_t b = HexField(text, kByteAt[i], 2);
    if (b < 0) return std::nullopt;
    guid.data4[i] = static_cast<uint8_t>(b);
  }
  return guid;
}

inline std::string Guid::ToString() const {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = "{";
  auto put = [&](uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
  };
  put(data1, 8);
  out += '-';
  put(data2, 4);
  out += '-';
  put(data3, 4);
  out += '-';
  for (size_t i = 0; i < 8; ++i) {
    if (i == 2) out += '-';
    put(data4[i], 2);
  }
  out += '}';
  return out;
}

}  // namespace agendia
