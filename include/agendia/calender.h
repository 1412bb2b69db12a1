#pragma once

#include <agendia/dispatch.h>
#include <agendia/guid.h>

#include <cstdint>
#include <string>

namespace agendia {

// Identity of the component. A host binds to these values; they never change.

// Type library AgendiaVB 1.0, locale 0x409.
namespace libid {
inline constexpr Guid kAgendiaVB = Guid::Literal("{EE2600D7-6355-480D-B19E-FE11CEB7E268}");
}  // namespace libid
inline constexpr const char* kTypeLibName = "AgendiaVB";
inline constexpr uint16_t kTypeLibMajor = 1;
inline constexpr uint16_t kTypeLibMinor = 0;
inline constexpr uint32_t kTypeLibLcid = 0x409;

// The server's file: "Agendia.dll" on Windows; on Linux the shared library
// libagendia.so.
inline constexpr const char* kServerFileName = "Agendia.dll";

// The one creatable class.
namespace clsid {
inline constexpr Guid kCalender = Guid::Literal("{9743C9BA-1A0D-4FB9-9C91-565902349C19}");
}  // namespace clsid
inline constexpr const char* kCalenderClassName = "Calender";
inline constexpr const char* kCalenderProgId = "AgendiaVB.Calender";
inline constexpr const char* kThreadingModel = "Apartment";

// The class's default interface.
namespace iid {
inline constexpr Guid k_Calender = Guid::Literal("{205F0770-DB11-4662-8995-AB342F91D060}");
}  // namespace iid

// Dispatch identifiers of the members of _Calender.
namespace dispid {
inline constexpr DispId kPortalEnabled = 0x68030000;
inline constexpr DispId kPortHwnd = 0x68030001;
inline constexpr DispId kGetPortalHwnd = 0x60030002;
inline constexpr DispId kCalenderDesign = 0x60030003;
}  // namespace dispid

// The default interface of Calender: the portal window, enabling it, and the
// calendar window. Every member reports failure only through its status,
// whose description says what went wrong; none throws.
//
// The members keep this order: it is the order of the interface's slots
// after those of IDispatch.
class _Calender : public IDispatch {
 public:
  // PortHwnd (write-only property). 0 changes nothing; any other window
  // makes that window's direct parent (0 when it has none) the portal window
  // of this thread.
  virtual Status put_PortHwnd(int32_t hwnd) = 0;

  // Stores in *result the top-most ancestor of `vData` (0 when `vData` is 0
  // or has no parent; never `vData` itself) and makes it the portal window
  // of this thread, also when it is 0. E_POINTER when `result` is null.
  virtual Status GetPortalHwnd(int32_t vData, int32_t* result) = 0;

  // PortalEnabled (property): the last value put, as a 16-bit Boolean
  // (-1 true, 0 false); false before any put. It is not read back from the
  // window. E_POINTER when `result` is null.
  virtual Status get_PortalEnabled(int16_t* result) = 0;
  // Stores `value` and enables (non-zero) or disables (0) the portal window
  // of this thread. Whether the window could be enabled is not reported: the
  // put succeeds also when no portal window is known.
  virtual Status put_PortalEnabled(int16_t value) = 0;

  // Opens the calendar window for the user context given by the six texts
  // (UTF-8; read, never written) and returns when the user has closed it.
  // While a window opened by this object is open on this thread, brings it
  // to the front instead and changes nothing; while another object's window
  // is open, does nothing and succeeds. A failed start (the resource library
  // missing, the window not built or not loaded) returns that failure and
  // lets the next call try afresh. E_POINTER when any pointer is null.
  virtual Status CalenderDesign(std::string* VxDbName, std::string* cUserID,
                                std::string* cAcc_ID, std::string* cIYear,
                                std::string* dayCurr, std::string* language) = 0;

 protected:
  ~_Calender() = default;
};

}  // namespace agendia
