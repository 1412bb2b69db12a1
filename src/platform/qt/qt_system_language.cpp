#include "platform/qt/qt_platform.h"

#include <cstdlib>

namespace agendia::platform {
namespace {

// POSIX order of precedence for the language of messages.
const char* ProcessLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

class QtSystemLanguage final : public SystemLanguage {
 public:
  uint16_t GetSystemDefaultLangID() override { return LangIdFromLocaleName(ProcessLocaleName()); }
};

}  // namespace

std::unique_ptr<SystemLanguage> MakeQtSystemLanguage() {
  return std::make_unique<QtSystemLanguage>();
}

}  // namespace agendia::platform
