#include "component/registry_files.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>
#include <thread>

namespace agendia::registry {
namespace fs = std::filesystem;
namespace {

Status CheckKey(std::string_view key) {
  if (key.empty() || key == "." || key == ".." || key.find_first_of("/\r\n") != std::string_view::npos) {
    return Status::Error(hr::kInvalidArg,
                         "\"" + std::string(key) + "\" cannot name a registration record");
  }
  return Status::Ok();
}

fs::path RecordPath(const std::string& root, std::string_view hive, std::string_view key) {
  return fs::path(root) / std::string(hive) / std::string(key);
}

// A name beside `target` that no other writer uses at the same time.
fs::path TemporaryPathFor(const fs::path& target) {
  static std::atomic<uint64_t> counter{0};
  uint64_t thread = std::hash<std::thread::id>()(std::this_thread::get_id());
  return target.string() + ".tmp-" + std::to_string(thread) + "-" + std::to_string(counter++);
}

}  // namespace

std::optional<std::string> ValueOf(const Record& record, std::string_view name) {
  for (const auto& [value_name, value] : record) {
    if (value_name == name) return value;
  }
  return std::nullopt;
}

std::string DefaultRoot() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config) return (fs::path(config) / "agendia" / "registry").string();
  const char* home = std::getenv("HOME");
  if (home && *home) return (fs::path(home) / ".config" / "agendia" / "registry").string();
  return (fs::path("agendia") / "registry").string();
}

Status WriteRecord(const std::string& root, std::string_view hive, std::string_view key,
                   const Record& record) {
  AGENDIA_RETURN_IF_ERROR(CheckKey(key));
  std::string text;
  for (const auto& [name, value] : record) {
    if (name.find_first_of("=\r\n") != std::string::npos ||
        value.find_first_of("\r\n") != std::string::npos) {
      return Status::Error(hr::kInvalidArg,
                           "the value \"" + name + "\" cannot be written to a registration record");
    }
    text += name + "=" + value + "\n";
  }

  const fs::path target = RecordPath(root, hive, key);
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (error) {
    return Status::Fail("cannot create the registry folder " + target.parent_path().string() +
                        ": " + error.message());
  }
  const fs::path temporary = TemporaryPathFor(target);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      fs::remove(temporary, error);
      return Status::Fail("cannot write the registration record " + temporary.string());
    }
  }
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return Status::Fail("cannot replace the registration record " + target.string() + ": " +
                        error.message());
  }
  return Status::Ok();
}

StatusOr<Record> ReadRecord(const std::string& root, std::string_view hive, std::string_view key) {
  AGENDIA_RETURN_IF_ERROR(CheckKey(key));
  const fs::path path = RecordPath(root, hive, key);
  std::error_code error;
  if (!fs::is_regular_file(path, error)) {
    return Status::Error(hr::kFileNotFound, "there is no registration record " + path.string());
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Fail("cannot read the registration record " + path.string());
  Record record;
  std::string line;
  while (std::getline(in, line)) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    record.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  if (in.bad()) return Status::Fail("cannot read the registration record " + path.string());
  return record;
}

Status RemoveRecord(const std::string& root, std::string_view hive, std::string_view key) {
  AGENDIA_RETURN_IF_ERROR(CheckKey(key));
  const fs::path path = RecordPath(root, hive, key);
  std::error_code error;
  fs::remove(path, error);
  if (error) {
    return Status::Fail("cannot remove the registration record " + path.string() + ": " +
                        error.message());
  }
  return Status::Ok();
}

}  // namespace agendia::registry
