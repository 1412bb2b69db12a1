#include "resources/resource_library.h"

#include "base/date_text.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace agendia::resources {

namespace {

constexpr const char* kFallbackLanguage = "en-us";

bool IsShippedLanguage(const std::string& language) {
  return language == "zh-cn" || language == "zh-tw" || language == "en-us";
}

// Turns the two-character escapes "\n" and "\\" into what they stand for.
std::string Unescape(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      result.push_back(text[i + 1] == 'n' ? '\n' : '\\');
      ++i;
    } else {
      result.push_back(text[i]);
    }
  }
  return result;
}

using TextTable = std::map<std::string, std::string>;

// Paths travel as UTF-8 text. std::filesystem reads a narrow string in the
// system's code page on Windows, so a folder named in Chinese would not be
// found there; going through char8_t keeps it exact everywhere.
std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

StatusOr<TextTable> ReadTextFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Error(hr::kFileNotFound, "Resource file not found: " + Utf8Of(path));
  TextTable table;
  std::string line;
  int line_number = 0;
  while (std::getline(in, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line_number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line.empty() || line[0] == '#') continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
      return Status::Fail("Resource file " + Utf8Of(path) + " line " +
                          std::to_string(line_number) + " is not of the form key=text");
    }
    table[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
  }
  if (in.bad()) return Status::Fail("Resource file could not be read: " + Utf8Of(path));
  return table;
}

class FileResourceService final : public ResourceService {
 public:
  explicit FileResourceService(std::filesystem::path directory)
      : directory_(std::move(directory)) {}

  StatusOr<std::string> GetString(const std::string& key, const std::string& language) override {
    std::string code = base::LowerCase(language);
    if (!IsShippedLanguage(code)) code = kFallbackLanguage;
    std::lock_guard lock(mutex_);
    auto loaded = tables_.find(code);
    if (loaded == tables_.end()) {
      auto table = ReadTextFile(directory_ / (code + ".txt"));
      if (!table.ok()) return table.status();
      loaded = tables_.emplace(code, std::move(table).value()).first;
    }
    auto text = loaded->second.find(key);
    return text == loaded->second.end() ? key : text->second;
  }

 private:
  std::filesystem::path directory_;
  std::mutex mutex_;
  std::map<std::string, TextTable> tables_;
};

class FileResourceFactory final : public ResourceFactory {
 public:
  explicit FileResourceFactory(std::filesystem::path directory)
      : directory_(std::move(directory)) {}

  Status Initialize(int32_t /*flags*/) override { return Status::Ok(); }

  StatusOr<std::shared_ptr<ResourceService>> GetResourceService() override {
    return std::shared_ptr<ResourceService>(std::make_shared<FileResourceService>(directory_));
  }

 private:
  std::filesystem::path directory_;
};

class FileResourceLibrary final : public ResourceLibrary {
 public:
  explicit FileResourceLibrary(const std::string& directory) : directory_(PathFromUtf8(directory)) {}

  StatusOr<std::unique_ptr<ResourceFactory>> CreateResourceFactory() override {
    std::error_code error;
    if (!std::filesystem::is_directory(directory_, error)) {
      return Status::Error(hr::kClassNotRegistered,
                           "Resource library not found: " + Utf8Of(directory_));
    }
    return std::unique_ptr<ResourceFactory>(std::make_unique<FileResourceFactory>(directory_));
  }

 private:
  std::filesystem::path directory_;
};

}  // namespace

std::shared_ptr<ResourceLibrary> MakeFileResourceLibrary(std::string directory) {
  return std::make_shared<FileResourceLibrary>(directory);
}

}  // namespace agendia::resources
