#pragma once

#include <agendia/status.h>

#include <cstdint>
#include <string>
#include <variant>

namespace agendia {

// The kinds of value a Variant holds: the subset of automation types that
// Agendia's dispatch interface takes and returns.
enum class VarType {
  kEmpty,      // no value
  kI2,         // 16-bit signed integer
  kI4,         // 32-bit signed integer
  kBool,       // 16-bit Boolean: -1 true, 0 false
  kString,     // UTF-8 text held by value
  kStringRef,  // UTF-8 text held by the caller, passed by reference
};

// A value passed through late-bound calls. Strings are UTF-8. A by-reference
// string points at text the caller owns and keeps alive for the call.
class Variant {
 public:
  Variant() = default;
  static Variant I2(int16_t value) { return Variant(Payload(std::in_place_index<1>, value)); }
  static Variant I4(int32_t value) { return Variant(Payload(std::in_place_index<2>, value)); }
  static Variant Bool(bool value) {
    return Variant(Payload(std::in_place_index<3>, BoolWord{int16_t(value ? -1 : 0)}));
  }
  static Variant String(std::string value) {
    return Variant(Payload(std::in_place_index<4>, std::move(value)));
  }
  static Variant StringRef(std::string* value) {
    return Variant(Payload(std::in_place_index<5>, value));
  }

  VarType type() const { return static_cast<VarType>(payload_.index()); }

  // Conversions as automation performs them. Empty is 0 / false; a Boolean
  // is -1 or 0 as a number; any non-zero number is true; a text converts
  // when it is a decimal number in range, or "True"/"False" for a Boolean.
  // Any other value fails with DISP_E_TYPEMISMATCH.
  StatusOr<int32_t> ToInt32() const;
  StatusOr<bool> ToBool() const;

  // The 16-bit Boolean word of a kBool value (-1 or 0); 0 for other kinds.
  int16_t BoolValue() const;
  // The text of a kString value or the text a kStringRef points at;
  // nullptr for other kinds and for a null reference. Writing through the
  // pointer of a kString value changes the Variant's own copy.
  std::string* StringPointer();
  const std::string* StringPointer() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  struct BoolWord {
    int16_t value;
    friend bool operator==(BoolWord, BoolWord) = default;
  };
  using Payload = std::variant<std::monostate, int16_t, int32_t, BoolWord, std::string, std::string*>;
  explicit Variant(Payload payload) : payload_(std::move(payload)) {}

  Payload payload_;
};

}  // namespace agendia
