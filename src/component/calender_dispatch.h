#pragma once

#include <agendia/calender.h>

#include <string>
#include <vector>

namespace agendia::component {

// Late-bound access to _Calender: every call goes through the interface's
// own members, so a call by identifier or name behaves exactly as the
// direct call.
//
//   PortHwnd        0x68030001  put: one 32-bit integer; no get
//   GetPortalHwnd   0x60030002  method: one 32-bit integer; returns I4
//   PortalEnabled   0x68030000  get: returns Bool; put: one Boolean
//   CalenderDesign  0x60030003  method: six strings, by value or by reference
//
// A method may also be asked for with kPropertyGet, and a property get with
// kMethod, as scripting hosts combine the two flags.

// The identifier of the member `name`, compared without regard to letter
// case. DISP_E_UNKNOWNNAME for another name, E_POINTER when `dispid` is null.
Status CalenderDispIdOfName(const std::string& name, DispId* dispid);

// Calls member `dispid` of `target`; see IDispatch::Invoke for the failures.
Status InvokeCalender(_Calender& target, DispId dispid, uint16_t flags, std::vector<Variant>& args,
                      Variant* result);

}  // namespace agendia::component
