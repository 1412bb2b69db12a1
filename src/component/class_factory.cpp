#include "component/class_factory.h"

#include "base/no_throw.h"
#include "component/Calender.h"

#include <agendia/calender.h>

#include <utility>

namespace agendia::component {

using base::CallWithoutThrowing;

ComPtr<CalenderClassFactory> CalenderClassFactory::Create(PlatformProvider provider) {
  return ComPtr<CalenderClassFactory>::Adopt(new CalenderClassFactory(std::move(provider)));
}

CalenderClassFactory::CalenderClassFactory(PlatformProvider provider)
    : provider_(std::move(provider)) {}

Status CalenderClassFactory::QueryInterface(const Guid& iid, void** object) {
  if (!object) return Status::Error(hr::kPointer, "QueryInterface: the pointer object is null");
  *object = nullptr;
  if (iid == iid::kIUnknown) *object = static_cast<IUnknown*>(this);
  if (iid == iid::kIClassFactory) *object = static_cast<IClassFactory*>(this);
  if (*object) {
    AddRef();
    return Status::Ok();
  }
  return CallWithoutThrowing("QueryInterface", [&] {
    return Status::Error(hr::kNoInterface,
                         "The class factory of Calender has no interface " + iid.ToString());
  });
}

Status CalenderClassFactory::CreateInstance(IUnknown* outer, const Guid& iid, void** object) {
  if (!object) return Status::Error(hr::kPointer, "CreateInstance: the pointer object is null");
  *object = nullptr;
  if (outer) {
    return Status::Error(hr::kNoAggregation, "Calender cannot be created as part of an aggregate");
  }
  return CallWithoutThrowing("CreateInstance", [&] {
    std::shared_ptr<const platform::Platform> platform = provider_ ? provider_() : nullptr;
    if (!platform) return Status::Fail("Calender cannot be created: no platform is available");
    ComPtr<Calender> calender = Calender::Create(std::move(platform));
    // The new object lives on only through the reference QueryInterface
    // hands out; when it has no such interface, it goes with `calender`.
    return calender->QueryInterface(iid, object);
  });
}

Status CalenderClassFactory::LockServer(bool lock) {
  if (lock) {
    LockModule();
    return Status::Ok();
  }
  if (UnlockModule()) return Status::Ok();
  return Status::Error(hr::kUnexpected, "LockServer: the server is not locked");
}

Status GetClassObject(const Guid& clsid, const Guid& iid, void** object,
                      PlatformProvider provider) {
  if (!object) return Status::Error(hr::kPointer, "DllGetClassObject: the pointer object is null");
  *object = nullptr;
  return CallWithoutThrowing("DllGetClassObject", [&] {
    if (clsid != clsid::kCalender) {
      return Status::Error(hr::kClassNotAvailable,
                           "This library serves no class " + clsid.ToString());
    }
    ComPtr<CalenderClassFactory> factory = CalenderClassFactory::Create(std::move(provider));
    return factory->QueryInterface(iid, object);
  });
}

}  // namespace agendia::component
