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

// Writes a new memo database at `path` shaped like a portal's shared table:
// `rows` memos spread evenly over `users` users, kUser's among them
// scattered through the table. kUser has rows / users memos, of which
// kSharedDue are due on kCurrentDay (daily memos) and the rest not (once
// memos of another day).
inline constexpr int kSharedDue = 45;
bool BuildSharedDatabase(const std::string& path, int rows, int users);

}  // namespace agendia::bench
