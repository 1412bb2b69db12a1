#include "component/win32/com_server_p.h"

#include "component/module_objects.h"

#include <new>

namespace agendia::component::win32 {
namespace {

// The class object of Calender. Its lifetime counts as a live object of the
// DLL, and LockServer keeps the DLL loaded without any object.
class ComClassFactory final : public ::IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<::IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(::IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateCalenderObject(iid, object);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
      return S_OK;
    }
    return UnlockModule() ? S_OK : E_UNEXPECTED;
  }

 private:
  ~ComClassFactory() = default;
  LONG refs_ = 1;
  ModuleObject module_object_;
};

}  // namespace

HRESULT GetCalenderClassObject(REFIID iid, void** object) {
  ComClassFactory* factory = new (std::nothrow) ComClassFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  HRESULT code = factory->QueryInterface(iid, object);
  factory->Release();
  return code;
}

}  // namespace agendia::component::win32
