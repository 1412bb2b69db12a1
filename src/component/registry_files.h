#pragma once

#include <agendia/status.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace agendia::registry {

// The registration records of in-process servers, kept as small text files:
// "<root>/<hive>/<key>", one "name=value" line per value, in a fixed order.
// Hives mirror the parts of the system registry a COM host reads.
inline constexpr const char* kClsidHive = "CLSID";     // key: class identifier
inline constexpr const char* kProgIdHive = "ProgID";   // key: ProgID
inline constexpr const char* kTypeLibHive = "TypeLib"; // key: library identifier

using Record = std::vector<std::pair<std::string, std::string>>;

// The value `name` of `record`; nothing when it has none.
std::optional<std::string> ValueOf(const Record& record, std::string_view name);

// $XDG_CONFIG_HOME/agendia/registry, or $HOME/.config/agendia/registry when
// XDG_CONFIG_HOME is unset or empty; a relative "agendia/registry" under the
// working folder when neither is set.
std::string DefaultRoot();

// Writes `record`, replacing an earlier one; creates the folders it needs.
// The file is written in full under another name and then renamed, so a
// reader sees the old record or the new one, never a part. Names and values
// must not contain line breaks, names no '=' (E_INVALIDARG). Fails with E_FAIL
// naming the file when it cannot be written.
Status WriteRecord(const std::string& root, std::string_view hive, std::string_view key,
                   const Record& record);

// The record, values in file order. HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
// naming the file when there is none; E_FAIL when it cannot be read.
StatusOr<Record> ReadRecord(const std::string& root, std::string_view hive, std::string_view key);

// Removes the record; one that does not exist is no failure. E_FAIL naming
// the file when it cannot be removed.
Status RemoveRecord(const std::string& root, std::string_view hive, std::string_view key);

// Every function above refuses with E_INVALIDARG a key that is empty, "." or
// "..", or contains '/' or a line break, so a key never leaves its hive.

}  // namespace agendia::registry
