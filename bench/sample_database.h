#pragma once

#include <string>

namespace agendia::bench {

// The user whose memos the benchmark lists, and the day it lists them on.
inline constexpr const char* kUser = "demo";
inline constexpr const char* kCurrentDay = "2024-03-01";

// Writes a new memo database at `path`: `memos` memos of kUser, each due on
// kCurrentDay (every kind is due on its own date), interleaved with as many
// memos of other users. False, with a message on stderr, when it fails.
bool BuildSampleDatabase(const std::string& path, int memos);

}  // namespace agendia::bench
