#include "platform/memory/memory_platform.h"

namespace agendia::platform::memory {

WindowHandle MemoryWindowSystem::CreateWindow(WindowHandle parent) {
  WindowHandle handle = ++next_;
  windows_[handle] = Window{parent, 0, true};
  return handle;
}

void MemoryWindowSystem::DestroyWindow(WindowHandle window) { windows_.erase(window); }

bool MemoryWindowSystem::Exists(WindowHandle window) const { return windows_.count(window) != 0; }

bool MemoryWindowSystem::IsEnabled(WindowHandle window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.enabled;
}

WindowHandle MemoryWindowSystem::OwnerOf(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.owner;
}

WindowHandle MemoryWindowSystem::GetParent(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.parent;
}

bool MemoryWindowSystem::EnableWindow(WindowHandle window, bool enable) {
  enable_calls.push_back({window, enable});
  auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  bool was_disabled = !it->second.enabled;
  it->second.enabled = enable;
  return was_disabled;
}

WindowHandle MemoryWindowSystem::SetWindowOwner(WindowHandle window, WindowHandle owner) {
  ++set_owner_calls;
  auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  WindowHandle previous = it->second.owner;
  it->second.owner = owner;
  return previous;
}

}  // namespace agendia::platform::memory
