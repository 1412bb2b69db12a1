#pragma once

#include <agendia/guid.h>
#include <agendia/status.h>

#include <cstdint>

namespace agendia {

namespace iid {
inline constexpr Guid kIUnknown = Guid::Literal("{00000000-0000-0000-C000-000000000046}");
}  // namespace iid

// The root of every interface an Agendia object hands out. An object lives
// as long as someone holds a reference: AddRef takes one, Release gives one
// back and destroys the object with the last. Callers never delete objects.
class IUnknown {
 public:
  // Stores in *object a pointer to the object's interface `iid`, with a
  // reference taken for the caller. Returns E_NOINTERFACE and stores nullptr
  // when the object has no such interface; E_POINTER when `object` is null.
  virtual Status QueryInterface(const Guid& iid, void** object) = 0;
  // Both return the new reference count, for diagnostics only.
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

}  // namespace agendia
