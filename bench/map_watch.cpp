#include "map_watch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

extern char** environ;

namespace agendia::bench {

namespace {

double WallMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The main thread's time on a CPU so far, from the scheduler's statistics.
double MainThreadCpuMs(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/schedstat");
  double nanoseconds = 0;
  stat >> nanoseconds;
  return nanoseconds / 1e6;
}

// The window's title as Qt sets it: _NET_WM_NAME in UTF-8, else WM_NAME.
std::string TitleOf(Display* display, Window window) {
  for (const char* property : {"_NET_WM_NAME", "WM_NAME"}) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom name = XInternAtom(display, property, False);
    if (XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr) {
      std::string title(reinterpret_cast<char*>(data), items);
      XFree(data);
      if (!title.empty()) return title;
    }
  }
  return {};
}

}  // namespace

Mapped TimeToMap(const std::string& program, const std::vector<std::string>& args,
                 const std::string& title, int timeout_ms) {
  Mapped mapped;
  // One connection for the whole run: when its last client leaves, an X
  // server resets itself and refuses connections for a moment.
  static Display* const display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the X display \"%s\"\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    return mapped;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const double start = WallMs();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return mapped;

  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (!mapped.ok && WallMs() - start < timeout_ms) {
    if (XPending(display) == 0) {
      poll(&connection, 1, 50);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    const double at = WallMs();
    const double cpu = MainThreadCpuMs(pid);
    if (TitleOf(display, event.xmap.window) != title) continue;
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, event.xmap.window, &attributes);
    mapped = Mapped{true, at - start, cpu, attributes.width, attributes.height};
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  // Whatever the ended program left behind is of no interest to the next.
  XSync(display, True);
  if (!mapped.ok) std::fprintf(stderr, "%s did not map \"%s\"\n", program.c_str(), title.c_str());
  return mapped;
}

}  // namespace agendia::bench
