#include "component/win32/com_server_p.h"

#include "component/module_objects.h"

#include <new>
#include <utility>

namespace agendia::component::win32 {
namespace {

// The class object of Calender. Its lifetime counts as a live object of the
// DLL, and LockServer keeps the DLL loaded without any object.
class ComClassFactory final : public RefCounted<::IClassFactory> {
 public:
  explicit ComClassFactory(PlatformProvider provider) : provider_(std::move(provider)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<::IClassFactory*>(this);
    AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(::IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    std::shared_ptr<const platform::Platform> platform;
    try {
      platform = provider_ ? provider_() : nullptr;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
    return CreateCalenderObject(std::move(platform), iid, object);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
      return S_OK;
    }
    return UnlockModule() ? S_OK : E_UNEXPECTED;
  }

 private:
  ~ComClassFactory() override = default;
  ModuleObject module_object_;
  PlatformProvider provider_;
};

}  // namespace

int32_t GetClassObject(const void* clsid, const void* iid, void** object, PlatformProvider provider) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid == nullptr || iid == nullptr) return E_POINTER;
  if (!IsEqualCLSID(*static_cast<const CLSID*>(clsid), CLSID_Calender)) return CLASS_E_CLASSNOTAVAILABLE;
  ComClassFactory* factory = nullptr;
  try {
    factory = new ComClassFactory(std::move(provider));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  HRESULT code = factory->QueryInterface(*static_cast<const IID*>(iid), object);
  factory->Release();
  return code;
}

int32_t CanUnloadServer() { return CanUnloadNow() == hr::kOk ? S_OK : S_FALSE; }

}  // namespace agendia::component::win32
