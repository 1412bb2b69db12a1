#pragma once

// The Windows headers and the interface widl generates from AgendiaVB.idl,
// for the files of the COM server. The MessageBox macro is undone so that it
// cannot rename the toolkit's member of that name in a file that sees both.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#undef MessageBox
#undef GetObject

#include "AgendiaVB.h"  // generated: _Calender, LIBID_AgendiaVB, CLSID_Calender

#include "component/win32/com_server.h"

#include <agendia/status.h>

#include <string>
#include <string_view>

namespace agendia::component::win32 {

// The full path of the module (Agendia.dll) this server is linked into, as
// registration writes it and the type library is loaded from.
std::wstring ServerPath();

// The versioned ProgID that the version-independent one names as current.
inline constexpr wchar_t kProgId[] = L"AgendiaVB.Calender";
inline constexpr wchar_t kVersionedProgId[] = L"AgendiaVB.Calender.1";
inline constexpr wchar_t kErrorSource[] = L"AgendiaVB.Calender";

// IUnknown's AddRef and Release for a COM object of this server that
// implements `Interfaces` and is made with new: it starts with one reference,
// which its creator owns, and deletes itself when the last one is released.
template <typename... Interfaces>
class RefCounted : public Interfaces... {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }

 protected:
  RefCounted() = default;
  // Virtual so that Release deletes the whole object; the slot follows the
  // interfaces' methods in the table, where no client looks.
  virtual ~RefCounted() = default;

 private:
  LONG refs_ = 1;
};

// UTF-8 to and from BSTR; a null BSTR is the empty text.
std::string FromBstr(BSTR text);
BSTR ToBstr(std::string_view text);

// Returns the HRESULT of `status`; on failure first makes its description the
// thread's error information (IErrorInfo), as Automation clients read it.
HRESULT ReportStatus(const Status& status);

// Creates a Calender COM object on `platform` and asks it for `iid`.
HRESULT CreateCalenderObject(std::shared_ptr<const platform::Platform> platform, REFIID iid,
                             void** object);

}  // namespace agendia::component::win32
