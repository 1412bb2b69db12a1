#include "platform/system_language.h"

#include <string_view>

namespace agendia::platform {

uint16_t LangIdFromLocaleName(const char* locale_name) {
  if (locale_name == nullptr) return 0;
  std::string_view name(locale_name);
  // Drop the encoding and modifier: "zh_CN.UTF-8@euro" -> "zh_CN".
  name = name.substr(0, name.find_first_of(".@"));

  struct Entry {
    std::string_view locale;
    uint16_t id;
  };
  static constexpr Entry kTable[] = {
      {"zh_CN", langid::kChineseSimplified}, {"zh_SG", 4100},
      {"zh_TW", langid::kChineseTraditional}, {"zh_HK", 3076},
      {"zh_MO", 5124},                        {"en_US", langid::kEnglishUS},
      {"en_GB", 2057},                        {"en_AU", 3081},
      {"en_CA", 4105},                        {"ja_JP", langid::kJapanese},
      {"ko_KR", 1042},                        {"de_DE", 1031},
      {"fr_FR", 1036},                        {"es_ES", 3082},
      {"it_IT", 1040},                        {"ru_RU", 1049},
      {"pt_BR", 1046},
  };
  for (const Entry& entry : kTable) {
    if (entry.locale == name) return entry.id;
  }
  return 0;
}

}  // namespace agendia::platform
