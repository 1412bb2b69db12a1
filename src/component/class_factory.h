#pragma once

#include "component/module_objects.h"
#include "component/ref_counted.h"
#include "platform/platform.h"

#include <agendia/class_factory.h>
#include <agendia/com_ptr.h>

#include <functional>
#include <memory>

namespace agendia::component {

// Supplies the platform for each new Calender object; null when none can be
// had. The shipped library passes platform::DefaultPlatform, tests a memory
// platform.
using PlatformProvider = std::function<std::shared_ptr<const platform::Platform>()>;

// The class object of Calender.
class CalenderClassFactory final : public RefCounted<IClassFactory> {
 public:
  // A new factory with one reference, held by the caller. Throws
  // std::bad_alloc only.
  static ComPtr<CalenderClassFactory> Create(PlatformProvider provider);

  // IUnknown (AddRef and Release are RefCounted's) and IClassFactory.
  Status QueryInterface(const Guid& iid, void** object) override;

  // Creating an object asks the provider for its platform; E_FAIL when the
  // provider has none. Creating never opens a window.
  Status CreateInstance(IUnknown* outer, const Guid& iid, void** object) override;
  // E_UNEXPECTED for an unlock without a lock.
  Status LockServer(bool lock) override;

 private:
  explicit CalenderClassFactory(PlatformProvider provider);
  ~CalenderClassFactory() override = default;

  ModuleObject module_object_;
  PlatformProvider provider_;
};

// DllGetClassObject: the class object of `clsid` as interface `iid`.
// CLASS_E_CLASSNOTAVAILABLE for any class but Calender; E_NOINTERFACE when
// the factory lacks `iid`; E_POINTER when `object` is null. *object is null
// on failure.
Status GetClassObject(const Guid& clsid, const Guid& iid, void** object,
                      PlatformProvider provider);

}  // namespace agendia::component
