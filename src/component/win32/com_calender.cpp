// The Calender class as a COM object: the dual interface _Calender over the
// core's Calender. The vtable members convert BSTRs and HRESULTs; IDispatch
// is served from the embedded type library, except CalenderDesign, whose
// by-reference strings script hosts pass in a form the type library's
// dispatch does not accept.

#include "component/win32/com_server_p.h"

#include "base/no_throw.h"
#include "component/Calender.h"
#include "component/module_objects.h"

#include <array>
#include <cstdio>
#include <new>

namespace agendia::component::win32 {
namespace {

using base::CallWithoutThrowing;

constexpr int kDesignArgumentCount = 6;
constexpr std::array<const char*, kDesignArgumentCount> kDesignArgumentNames = {
    "VxDbName", "cUserID", "cAcc_ID", "cIYear", "dayCurr", "language"};

// Copies the thread's error information into `info`, as ITypeInfo::Invoke
// does for the members it calls.
void FillExceptionInfo(EXCEPINFO* info, HRESULT code) {
  if (info == nullptr) return;
  *info = EXCEPINFO{};
  info->scode = code;
  IErrorInfo* error = nullptr;
  if (GetErrorInfo(0, &error) == S_OK && error != nullptr) {
    error->GetDescription(&info->bstrDescription);
    error->GetSource(&info->bstrSource);
    error->Release();
  }
  if (info->bstrSource == nullptr) info->bstrSource = SysAllocString(kErrorSource);
}

// A date as the date reader takes it: "yyyy-mm-dd", with " hh:mm:ss" when it
// has a time of day. Empty when `date` is no date Automation can show.
std::string DateText(DATE date) {
  SYSTEMTIME time{};
  if (!VariantTimeToSystemTime(date, &time)) return {};
  char text[32];
  if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0) {
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
  } else {
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
  }
  return text;
}

// The text of one argument of CalenderDesign given through Invoke. Strings
// are taken as they are; a date becomes "yyyy-mm-dd" and a number its digits
// with no separators of the user's locale, because the locale's text ("3/1/2024",
// "2.024") is not what the date reader or the year column takes. Other values
// convert as Automation converts them. Fails with DISP_E_PARAMNOTOPTIONAL
// for a missing argument (a script host passes the error value
// DISP_E_PARAMNOTFOUND in its place; every parameter is required) and
// DISP_E_TYPEMISMATCH for one that has no text (Null, an array, an object
// without a default value).
HRESULT ArgumentText(const VARIANT& given, std::string* text) {
  const VARIANT* argument = &given;
  while (V_VT(argument) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(argument) != nullptr) {
    argument = V_VARIANTREF(argument);
  }
  const VARTYPE type = V_VT(argument);
  if (type == VT_BSTR) {
    *text = FromBstr(V_BSTR(argument));
    return S_OK;
  }
  if (type == (VT_BYREF | VT_BSTR)) {
    if (V_BSTRREF(argument) == nullptr) return DISP_E_TYPEMISMATCH;
    *text = FromBstr(*V_BSTRREF(argument));
    return S_OK;
  }
  if (type == VT_ERROR && V_ERROR(argument) == DISP_E_PARAMNOTFOUND) return DISP_E_PARAMNOTOPTIONAL;
  if ((type & ~VT_BYREF) == VT_DATE) {
    if ((type & VT_BYREF) && V_DATEREF(argument) == nullptr) return DISP_E_TYPEMISMATCH;
    *text = DateText((type & VT_BYREF) ? *V_DATEREF(argument) : V_DATE(argument));
    return text->empty() ? DISP_E_TYPEMISMATCH : S_OK;
  }
  if ((type & VT_ARRAY) != 0) return DISP_E_TYPEMISMATCH;
  VARIANT converted;
  VariantInit(&converted);
  // Numbers in the invariant locale: digits, a point, no grouping.
  if (FAILED(VariantChangeTypeEx(&converted, const_cast<VARIANT*>(argument), LOCALE_INVARIANT, 0, VT_BSTR))) {
    VariantClear(&converted);
    return DISP_E_TYPEMISMATCH;
  }
  *text = FromBstr(V_BSTR(&converted));
  VariantClear(&converted);
  return S_OK;
}

class ComCalender final : public RefCounted<::_Calender, ::ISupportErrorInfo> {
 public:
  explicit ComCalender(agendia::ComPtr<agendia::Calender> core) : core_(std::move(core)) {}

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID__Calender)) {
      *object = static_cast<::_Calender*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *object = static_cast<::ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }

  // ISupportErrorInfo: every failure of _Calender carries a description.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, IID__Calender) ? S_OK : S_FALSE;
  }

  // IDispatch.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT loaded = LoadTypeInfo();
    if (FAILED(loaded)) return loaded;
    dispatch_info_->AddRef();
    *info = dispatch_info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    HRESULT loaded = LoadTypeInfo();
    if (FAILED(loaded)) return loaded;
    return DispGetIDsOfNames(dispatch_info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (params == nullptr) return E_INVALIDARG;
    if (id == agendia::dispid::kCalenderDesign && (flags & DISPATCH_METHOD)) {
      return InvokeCalenderDesign(*params, result, exception, argument_error);
    }
    HRESULT loaded = LoadTypeInfo();
    if (FAILED(loaded)) return loaded;
    return DispInvoke(static_cast<::_Calender*>(this), interface_info_, id, flags, params, result,
                      exception, argument_error);
  }

  // _Calender.
  HRESULT STDMETHODCALLTYPE put_PortHwnd(LONG hwnd) override {
    return ReportStatus(CallWithoutThrowing("PortHwnd", [&] { return core_->put_PortHwnd(hwnd); }));
  }
  HRESULT STDMETHODCALLTYPE GetPortalHwnd(LONG vData, LONG* result) override {
    if (result == nullptr) return ReportStatus(Status::Error(hr::kPointer, "GetPortalHwnd: no place for the result"));
    int32_t portal = 0;
    HRESULT code = ReportStatus(
        CallWithoutThrowing("GetPortalHwnd", [&] { return core_->GetPortalHwnd(vData, &portal); }));
    *result = portal;
    return code;
  }
  HRESULT STDMETHODCALLTYPE get_PortalEnabled(VARIANT_BOOL* result) override {
    if (result == nullptr) return ReportStatus(Status::Error(hr::kPointer, "PortalEnabled: no place for the result"));
    int16_t enabled = 0;
    HRESULT code = ReportStatus(
        CallWithoutThrowing("PortalEnabled", [&] { return core_->get_PortalEnabled(&enabled); }));
    *result = enabled;
    return code;
  }
  HRESULT STDMETHODCALLTYPE put_PortalEnabled(VARIANT_BOOL value) override {
    return ReportStatus(CallWithoutThrowing("PortalEnabled", [&] { return core_->put_PortalEnabled(value); }));
  }
  // The texts are read, never written back.
  HRESULT STDMETHODCALLTYPE CalenderDesign(BSTR* VxDbName, BSTR* cUserID, BSTR* cAcc_ID, BSTR* cIYear,
                                           BSTR* dayCurr, BSTR* language) override {
    const std::array<BSTR*, kDesignArgumentCount> given = {VxDbName, cUserID, cAcc_ID, cIYear, dayCurr, language};
    std::array<std::string, kDesignArgumentCount> texts;
    for (int i = 0; i < kDesignArgumentCount; ++i) {
      if (given[i] == nullptr) {
        return ReportStatus(Status::Error(
            hr::kPointer, std::string("CalenderDesign: ") + kDesignArgumentNames[i] + " is a null pointer"));
      }
      texts[i] = FromBstr(*given[i]);
    }
    return Design(texts);
  }

 private:
  ~ComCalender() override {
    if (interface_info_) interface_info_->Release();
    if (dispatch_info_) dispatch_info_->Release();
  }

  HRESULT Design(std::array<std::string, kDesignArgumentCount>& texts) {
    // The object may be released by the host while its window is open (a
    // call dispatched during the modal wait); it lives until the call ends.
    AddRef();
    HRESULT code = ReportStatus(CallWithoutThrowing("CalenderDesign", [&] {
      return core_->CalenderDesign(&texts[0], &texts[1], &texts[2], &texts[3], &texts[4], &texts[5]);
    }));
    Release();
    return code;
  }

  // Script hosts pass each variable as VT_BYREF|VT_VARIANT holding the
  // string, which the type library's dispatch refuses for a BSTR* parameter;
  // any argument that converts to a text is taken, and nothing is written
  // back. A bad argument fails as DispInvoke fails one of the other members:
  // DISP_E_PARAMNOTOPTIONAL when it is missing, DISP_E_TYPEMISMATCH when it
  // cannot become a text, with its position in `argument_error`.
  HRESULT InvokeCalenderDesign(const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception,
                               UINT* argument_error) {
    if (params.cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (params.cArgs != kDesignArgumentCount) return DISP_E_BADPARAMCOUNT;
    std::array<std::string, kDesignArgumentCount> texts;
    for (int i = 0; i < kDesignArgumentCount; ++i) {
      // Arguments come last first.
      const UINT position = static_cast<UINT>(kDesignArgumentCount - 1 - i);
      HRESULT converted = ArgumentText(params.rgvarg[position], &texts[i]);
      if (FAILED(converted)) {
        if (argument_error) *argument_error = position;
        return converted;
      }
    }
    if (result) VariantInit(result);
    HRESULT code = Design(texts);
    if (FAILED(code)) {
      FillExceptionInfo(exception, code);
      return DISP_E_EXCEPTION;
    }
    return S_OK;
  }

  // The dispatch type information of _Calender (what GetTypeInfo hands out
  // and names are looked up in) and its vtable interface (what Invoke calls
  // through), from the type library embedded in this DLL.
  HRESULT LoadTypeInfo() {
    if (interface_info_) return S_OK;
    ITypeLib* library = nullptr;
    HRESULT code = LoadTypeLibEx(ServerPath().c_str(), REGKIND_NONE, &library);
    if (FAILED(code)) return code;
    ITypeInfo* dispatch = nullptr;
    code = library->GetTypeInfoOfGuid(IID__Calender, &dispatch);
    library->Release();
    if (FAILED(code)) return code;
    ITypeInfo* vtable = nullptr;
    HREFTYPE reference = 0;
    code = dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference);
    if (SUCCEEDED(code)) code = dispatch->GetRefTypeInfo(reference, &vtable);
    if (FAILED(code)) {
      // Not dual after all: the dispatch information serves both.
      vtable = dispatch;
      vtable->AddRef();
    }
    dispatch_info_ = dispatch;
    interface_info_ = vtable;
    return S_OK;
  }

  ModuleObject module_object_;
  agendia::ComPtr<agendia::Calender> core_;
  ITypeInfo* dispatch_info_ = nullptr;
  ITypeInfo* interface_info_ = nullptr;
};

}  // namespace

std::string FromBstr(BSTR text) {
  if (text == nullptr) return {};
  const int length = static_cast<int>(SysStringLen(text));
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

BSTR ToBstr(std::string_view text) {
  const int size = static_cast<int>(text.size());
  const int length = size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length : 0));
  if (wide && length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide, length);
  return wide;
}

HRESULT ReportStatus(const Status& status) {
  if (status.ok()) return static_cast<HRESULT>(status.code());
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(IID__Calender);
    create->SetSource(const_cast<LPOLESTR>(kErrorSource));
    BSTR description = ToBstr(status.description());
    create->SetDescription(description);
    SysFreeString(description);
    IErrorInfo* error = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&error)))) {
      SetErrorInfo(0, error);
      error->Release();
    }
    create->Release();
  }
  return static_cast<HRESULT>(status.code());
}

std::wstring ServerPath() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ServerPath), &module)) {
    return {};
  }
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HRESULT CreateCalenderObject(std::shared_ptr<const platform::Platform> platform, REFIID iid,
                             void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!platform) return E_FAIL;
  ComCalender* created = nullptr;
  try {
    created = new ComCalender(agendia::Calender::Create(std::move(platform)));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  HRESULT code = created->QueryInterface(iid, object);
  created->Release();
  return code;
}

}  // namespace agendia::component::win32
