#pragma once

#include <string>

namespace agendia::bench {

// Child processes of the benchmark that open the calendar window, offscreen,
// on the database at `path` and print one Sample line (see measure.h).
//
// "first": this process's first window, from the call that shows it until the
// first paint of the whole window, memo tree included, has ended; the sample
// carries the resident memory then. Qt has been started, and has read the
// system's font list, before the clock starts, as in a host that shows
// windows of its own.
// "warm": the same window then shows a memo, opens it for modifying and saves
// it unchanged; measured from the click on Save (the update and the reload of
// the whole tree) until the repaint that follows has ended.
//
// Both check that the tree lists `expected` memos; the result is the process's
// exit code.
int RunQtChild(const std::string& mode, const std::string& path, int expected);

}  // namespace agendia::bench
