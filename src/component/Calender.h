#pragma once

#include "component/module_objects.h"
#include "component/ref_counted.h"
#include "platform/platform.h"

#include <agendia/calender.h>
#include <agendia/com_ptr.h>

#include <memory>

namespace agendia {

class frmCalendarInfo;

// The component's public class. Its members work on the per-thread state of
// the module pub and on the calendar window it opens; see _Calender for what
// each promises. Objects are apartment-threaded: a host calls an object only
// on the thread that created it.
class Calender final : public component::RefCounted<_Calender> {
 public:
  // A new object with one reference, held by the caller. `platform` must not
  // be null. Throws std::bad_alloc only.
  static ComPtr<Calender> Create(std::shared_ptr<const platform::Platform> platform);

  // IUnknown (AddRef and Release are RefCounted's): IUnknown, IDispatch and
  // _Calender.
  Status QueryInterface(const Guid& iid, void** object) override;

  // IDispatch over the members of _Calender; see calender_dispatch.h.
  Status GetTypeInfoCount(uint32_t* count) override;
  Status GetTypeInfo(uint32_t index, uint32_t lcid, void** type_info) override;
  Status GetIDsOfNames(const std::string& name, DispId* dispid) override;
  Status Invoke(DispId dispid, uint16_t flags, std::vector<Variant>& args,
                Variant* result) override;

  // _Calender.
  Status put_PortHwnd(int32_t hwnd) override;
  Status GetPortalHwnd(int32_t vData, int32_t* result) override;
  Status get_PortalEnabled(int16_t* result) override;
  Status put_PortalEnabled(int16_t value) override;
  Status CalenderDesign(std::string* VxDbName, std::string* cUserID, std::string* cAcc_ID,
                        std::string* cIYear, std::string* dayCurr,
                        std::string* language) override;

  // The window this object opened last, open or closed; nullptr before the
  // first start.
  frmCalendarInfo* CalendarWindow() const { return m_frmCalendar.get(); }

 private:
  explicit Calender(std::shared_ptr<const platform::Platform> platform);
  ~Calender() override;

  // Steps 2 to 4 of a start: a new window with the user context, shown
  // modally. g_bFormOpen is already set.
  Status OpenNewWindow(const std::string& VxDbName, const std::string& cUserID,
                       const std::string& cAcc_ID, const std::string& cIYear,
                       const std::string& dayCurr, const std::string& language);

  component::ModuleObject module_object_;
  std::shared_ptr<const platform::Platform> platform_;
  // Shared so that the window being shown outlives a replacement made by a
  // call that arrives while it is open.
  std::shared_ptr<frmCalendarInfo> m_frmCalendar;
  int16_t m_bPortalEnabled = 0;
};

}  // namespace agendia
