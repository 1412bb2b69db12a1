// UTF-8 and UTF-16 conversion for the ODBC calls, against glibc's iconv.
// Where iconv converts the input whole (it is well-formed), ours gives
// exactly iconv's result, both ways. Where iconv refuses it, ours still gives
// well-formed text (iconv takes it back) in which every broken piece became
// U+FFFD, so that converting it again changes nothing.
//
// The input is read twice: as UTF-8 bytes, and as UTF-16 units (little
// endian, a last odd byte left out).

#include "db/odbc/wide_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

// `bytes` converted by iconv from `from` to `to`, or nothing when iconv
// refuses any of it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& bytes) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) std::abort();
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in_ptr = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* out_ptr = out.data();
  size_t out_left = out.size();
  const size_t done = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || in_left != 0) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

std::string AsBytes(const std::u16string& units) {
  std::string bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::u16string AsUnits(const std::string& bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                          static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace agendia::db;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // UTF-8 in.
  const std::u16string wide = Utf8ToUtf16(bytes);
  const std::string wide_bytes = AsBytes(wide);
  const std::optional<std::string> by_iconv = Iconv("UTF-16LE", "UTF-8", bytes);
  if (by_iconv) {
    if (*by_iconv != wide_bytes) std::abort();
    if (Utf16ToUtf8(wide) != bytes) std::abort();  // and back, unchanged
  } else {
    // Well-formed, and stable: the replacement characters stay as they are.
    const std::optional<std::string> back = Iconv("UTF-8", "UTF-16LE", wide_bytes);
    if (!back) std::abort();
    if (Utf8ToUtf16(*back) != wide) std::abort();
    if (wide.find(u'\uFFFD') == std::u16string::npos) std::abort();  // nothing broken was kept
  }

  // UTF-16 in.
  const std::u16string units = AsUnits(bytes);
  const std::string narrow = Utf16ToUtf8(units);
  const std::optional<std::string> narrow_by_iconv = Iconv("UTF-8", "UTF-16LE", AsBytes(units));
  if (narrow_by_iconv) {
    if (*narrow_by_iconv != narrow) std::abort();
  } else {
    if (!Iconv("UTF-16LE", "UTF-8", narrow)) std::abort();
    if (narrow.find("\xEF\xBF\xBD") == std::string::npos) std::abort();
  }
  return 0;
}
