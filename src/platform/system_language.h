#pragma once

#include <cstdint>

namespace agendia::platform {

// Well-known language identifiers of the system default language.
namespace langid {
inline constexpr uint16_t kChineseSimplified = 2052;   // 0x0804, zh_CN
inline constexpr uint16_t kChineseTraditional = 1028;  // 0x0404, zh_TW
inline constexpr uint16_t kEnglishUS = 1033;           // 0x0409, en_US
inline constexpr uint16_t kJapanese = 1041;            // 0x0411, ja_JP
}  // namespace langid

class SystemLanguage {
 public:
  virtual ~SystemLanguage() = default;
  // The language identifier of the machine's default locale.
  virtual uint16_t GetSystemDefaultLangID() = 0;
};

// Maps a POSIX locale name such as "zh_CN.UTF-8" or "en_US" to its language
// identifier; 0 for a name it does not know (including "C" and "POSIX").
uint16_t LangIdFromLocaleName(const char* locale_name);

}  // namespace agendia::platform
