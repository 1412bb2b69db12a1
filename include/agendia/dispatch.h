#pragma once

#include <agendia/unknown.h>
#include <agendia/variant.h>

#include <cstdint>
#include <string>
#include <vector>

namespace agendia {

namespace iid {
inline constexpr Guid kIDispatch = Guid::Literal("{00020400-0000-0000-C000-000000000046}");
}  // namespace iid

// Identifies a member of a dispatch interface.
using DispId = int32_t;

// What a late-bound call asks of a member; a caller may combine kMethod and
// kPropertyGet, as scripting hosts do when they cannot tell the two apart.
namespace dispatch {
inline constexpr uint16_t kMethod = 1;
inline constexpr uint16_t kPropertyGet = 2;
inline constexpr uint16_t kPropertyPut = 4;
inline constexpr uint16_t kPropertyPutRef = 8;
}  // namespace dispatch

// Late-bound access to an object's members by identifier or by name: what a
// scripting host uses when it knows no interface at compile time.
class IDispatch : public IUnknown {
 public:
  // The number of type descriptions the object provides (0 or 1).
  virtual Status GetTypeInfoCount(uint32_t* count) = 0;
  // The object's type description; fails with E_NOTIMPL when it provides none.
  virtual Status GetTypeInfo(uint32_t index, uint32_t lcid, void** type_info) = 0;
  // Maps a member name, compared without regard to letter case, to its
  // identifier. Fails with DISP_E_UNKNOWNNAME for a name the object lacks.
  virtual Status GetIDsOfNames(const std::string& name, DispId* dispid) = 0;
  // Calls member `dispid` as `flags` asks. `args` are in declaration order;
  // a property put takes the new value as its only argument. `result` may be
  // null when the caller does not want the result. Fails with
  // DISP_E_MEMBERNOTFOUND for an unknown member or one that does not allow
  // the call asked for, DISP_E_BADPARAMCOUNT for a wrong number of
  // arguments and DISP_E_TYPEMISMATCH for an argument that does not convert;
  // otherwise returns the member's own status.
  virtual Status Invoke(DispId dispid, uint16_t flags, std::vector<Variant>& args,
                        Variant* result) = 0;

 protected:
  ~IDispatch() = default;
};

}  // namespace agendia
