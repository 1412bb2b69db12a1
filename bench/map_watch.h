#pragma once

#include <string>
#include <vector>

namespace agendia::bench {

// How long a program took to put a window on the X display.
struct Mapped {
  bool ok = false;
  double wall_ms = 0;  // from just before the program started to the map
  double cpu_ms = 0;   // CPU time of its main thread by then
  int width = 0;       // the mapped window's size
  int height = 0;
};

// Starts `program` with `args` on the display of $DISPLAY and waits until it
// maps a top-level window titled `title`; then ends the program (SIGTERM)
// and reaps it. Gives up after `timeout_ms`.
Mapped TimeToMap(const std::string& program, const std::vector<std::string>& args,
                 const std::string& title, int timeout_ms);

}  // namespace agendia::bench
