// The language-text reader, on any file content: a language file of any bytes
// gives each text, the key itself, or a failure status; never a crash. A line
// "key=text" without escapes gives its text back.

#include "resources/resource_library.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("agendia-fuzz-texts-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::string content(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(folder / "en-us.txt", std::ios::binary | std::ios::trunc);
    file << content << "\nfuzz.known=known text\n";
  }
  auto library = agendia::resources::MakeFileResourceLibrary(folder.string());
  auto factory = library->CreateResourceFactory();
  if (!factory.ok()) std::abort();
  if (!(*factory)->Initialize(0).ok()) std::abort();
  auto service = (*factory)->GetResourceService();
  if (!service.ok()) std::abort();
  auto known = (*service)->GetString("fuzz.known", "en-us");
  if (known.ok() && *known != "known text") {
    // Only a line of the input that sets the same key can change it.
    if (content.find("fuzz.known=") == std::string::npos) std::abort();
  }
  auto missing = (*service)->GetString("fuzz.\x01missing", "EN-US");
  if (missing.ok() && *missing != "fuzz.\x01missing" && content.find("fuzz.\x01missing=") == std::string::npos) {
    std::abort();
  }
  const size_t equals = content.find('=');
  if (equals != std::string::npos && equals > 0) {
    (void)(*service)->GetString(content.substr(0, equals), "zh-xx");
  }
  return 0;
}
