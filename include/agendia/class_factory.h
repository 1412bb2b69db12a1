#pragma once

#include <agendia/unknown.h>

namespace agendia {

namespace iid {
inline constexpr Guid kIClassFactory = Guid::Literal("{00000001-0000-0000-C000-000000000046}");
}  // namespace iid

// Creates the objects of one class.
class IClassFactory : public IUnknown {
 public:
  // Creates a new object and stores its interface `iid` in *object. `outer`
  // must be null: Agendia objects cannot be aggregated
  // (CLASS_E_NOAGGREGATION). E_NOINTERFACE when the object lacks `iid`; on
  // any failure *object is nullptr.
  virtual Status CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
  // Keeps the server loaded while locked, whether or not objects are alive.
  // Every lock must be matched by an unlock.
  virtual Status LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

}  // namespace agendia
