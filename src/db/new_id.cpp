#include "db/new_id.h"

#include <cerrno>
#include <cstddef>

#if __has_include(<sys/random.h>)
#include <sys/random.h>
#define AGENDIA_HAS_GETRANDOM 1
#else
#include <random>
#endif

namespace agendia::db {

namespace {

bool FillRandom(std::array<unsigned char, 16>& bytes) {
#if defined(AGENDIA_HAS_GETRANDOM)
  size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    filled += size_t(got);
  }
  return true;
#else
  try {
    std::random_device source;
    for (auto& byte : bytes) byte = static_cast<unsigned char>(source());
    return true;
  } catch (...) {
    return false;
  }
#endif
}

}  // namespace

std::optional<std::string> NewIdText() {
  std::array<unsigned char, 16> bytes{};
  if (!FillRandom(bytes)) return std::nullopt;
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return FormatId(bytes);
}

std::string FormatId(const std::array<unsigned char, 16>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(36);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

}  // namespace agendia::db
