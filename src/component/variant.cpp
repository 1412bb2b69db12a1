#include <agendia/variant.h>

#include <charconv>
#include <string_view>

namespace agendia {
namespace {

Status Mismatch(std::string_view what) {
  return Status::Error(hr::kTypeMismatch, "Type mismatch: " + std::string(what));
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A decimal integer in 32-bit range, with an optional sign and surrounding
// spaces; nothing else converts.
StatusOr<int32_t> ParseInt32(const std::string& original) {
  std::string_view text = TrimSpaces(original);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return Mismatch("the text \"" + original + "\" is not a 32-bit integer");
  }
  return value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

StatusOr<int32_t> Variant::ToInt32() const {
  switch (type()) {
    case VarType::kEmpty: return 0;
    case VarType::kI2: return int32_t{std::get<1>(payload_)};
    case VarType::kI4: return std::get<2>(payload_);
    case VarType::kBool: return int32_t{std::get<3>(payload_).value};
    case VarType::kString:
    case VarType::kStringRef: {
      const std::string* text = StringPointer();
      if (!text) return Mismatch("a null string reference is not a 32-bit integer");
      return ParseInt32(*text);
    }
  }
  return Mismatch("unknown value kind");
}

StatusOr<bool> Variant::ToBool() const {
  if (type() == VarType::kString || type() == VarType::kStringRef) {
    const std::string* text = StringPointer();
    if (!text) return Mismatch("a null string reference is not a Boolean");
    std::string_view trimmed = TrimSpaces(*text);
    if (EqualsIgnoringCase(trimmed, "true")) return true;
    if (EqualsIgnoringCase(trimmed, "false")) return false;
    StatusOr<int32_t> number = ParseInt32(*text);
    if (!number.ok()) return Mismatch("the text \"" + *text + "\" is not a Boolean");
    return *number != 0;
  }
  StatusOr<int32_t> number = ToInt32();
  if (!number.ok()) return number.status();
  return *number != 0;
}

int16_t Variant::BoolValue() const {
  return type() == VarType::kBool ? std::get<3>(payload_).value : int16_t{0};
}

std::string* Variant::StringPointer() {
  if (type() == VarType::kString) return &std::get<4>(payload_);
  if (type() == VarType::kStringRef) return std::get<5>(payload_);
  return nullptr;
}

const std::string* Variant::StringPointer() const {
  return const_cast<Variant*>(this)->StringPointer();
}

}  // namespace agendia
