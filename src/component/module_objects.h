#pragma once

#include <cstdint>

namespace agendia::component {

// Tells whether the component's library may be unloaded: it may when no
// object it handed out is alive and no factory lock is held. Counts across
// all threads.

// Counts one live object for as long as it exists. Every object the library
// hands out, class factories included, holds one.
class ModuleObject {
 public:
  ModuleObject();
  ~ModuleObject();
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;
};

// IClassFactory::LockServer. Unlock returns false, changing nothing, when no
// lock is held.
void LockModule();
bool UnlockModule();

// hr::kOk when the library may be unloaded, hr::kFalse otherwise.
int32_t CanUnloadNow();

}  // namespace agendia::component
