#pragma once

// Starting the memo writer (memo_writer.cpp) as a process of its own, and
// reading what it told its user.

#include <sys/types.h>

#include <map>
#include <string>

namespace agendia::testing {

// Starts the writer saving `count` memos named <name>-<n> through
// `connection`, logging to `log`. Fails the test when it cannot start.
pid_t StartWriter(const std::string& connection, const std::string& name, int count,
                  const std::string& log);

// Waits for `pid`; its exit status, or -signal when a signal ended it.
int WaitFor(pid_t pid);

// What the writers' logs say of each title: "saved", "listed" (a failed save
// whose memo the list shows), "lost", or "retried" when its last line was a
// retry (it was still trying).
std::map<std::string, std::string> ReadOutcomes(const std::string& log);

// The integrity check of the SQLite file `path` ("ok" when sound).
std::string IntegrityCheck(const std::string& path);

// A whole number from the environment, for the runs at full size by hand.
int SizeFromEnvironment(const char* name, int fallback);

}  // namespace agendia::testing
