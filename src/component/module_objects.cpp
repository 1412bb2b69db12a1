#include "component/module_objects.h"

#include <agendia/status.h>

#include <atomic>

namespace agendia::component {
namespace {
std::atomic<int32_t> g_live_objects{0};
std::atomic<int32_t> g_locks{0};
}  // namespace

ModuleObject::ModuleObject() { g_live_objects.fetch_add(1); }
ModuleObject::~ModuleObject() { g_live_objects.fetch_sub(1); }

void LockModule() { g_locks.fetch_add(1); }

bool UnlockModule() {
  int32_t locks = g_locks.load();
  while (locks > 0) {
    if (g_locks.compare_exchange_weak(locks, locks - 1)) return true;
  }
  return false;
}

int32_t CanUnloadNow() {
  return (g_live_objects.load() == 0 && g_locks.load() == 0) ? hr::kOk : hr::kFalse;
}

}  // namespace agendia::component
