// Reads the type library embedded in an Agendia.dll (of either bitness: it
// is loaded as data) and checks the identities a host binds to: the library,
// the class, the default interface and each member's slot, dispatch
// identifier, kind and parameter types.
//
// Usage: agendia_typelib_check PATH_TO_AGENDIA_DLL BITS
// Prints one line per check and exits 0 when all passed.

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include "AgendiaVB.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Check(bool passed, const std::string& what) {
  std::printf("%s: %s\n", passed ? "ok" : "FAILED", what.c_str());
  if (!passed) ++g_failures;
}

std::wstring NameOf(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

struct Member {
  const wchar_t* name;
  MEMBERID id;
  INVOKEKIND kind;
  std::vector<VARTYPE> parameters;  // the last is the retval where there is one
};

// The members of _Calender after the seven slots of IDispatch, in slot order.
const std::vector<Member> kMembers = {
    {L"PortHwnd", 0x68030001, INVOKE_PROPERTYPUT, {VT_I4}},
    {L"GetPortalHwnd", 0x60030002, INVOKE_FUNC, {VT_I4, VT_BYREF | VT_I4}},
    {L"PortalEnabled", 0x68030000, INVOKE_PROPERTYGET, {VT_BYREF | VT_BOOL}},
    {L"PortalEnabled", 0x68030000, INVOKE_PROPERTYPUT, {VT_BOOL}},
    {L"CalenderDesign", 0x60030003, INVOKE_FUNC,
     {VT_BYREF | VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_BSTR, VT_BYREF | VT_BSTR,
      VT_BYREF | VT_BSTR}},
};

VARTYPE TypeOf(const TYPEDESC& type) {
  if (type.vt == VT_PTR && type.lptdesc) return static_cast<VARTYPE>(VT_BYREF | type.lptdesc->vt);
  return type.vt;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: agendia_typelib_check PATH_TO_AGENDIA_DLL BITS\n");
    return 2;
  }
  const int pointer_size = std::wcstol(argv[2], nullptr, 10) == 32 ? 4 : 8;
  CoInitialize(nullptr);
  ITypeLib* library = nullptr;
  Check(SUCCEEDED(LoadTypeLibEx(argv[1], REGKIND_NONE, &library)), "the DLL carries a type library");
  if (!library) return 1;

  TLIBATTR* attributes = nullptr;
  library->GetLibAttr(&attributes);
  Check(IsEqualGUID(attributes->guid, LIBID_AgendiaVB), "library identifier");
  Check(attributes->wMajorVerNum == 1 && attributes->wMinorVerNum == 0, "library version 1.0");
  Check(attributes->lcid == 0x409, "library locale 0x409");
  Check(attributes->syskind == (pointer_size == 4 ? SYS_WIN32 : SYS_WIN64), "library built for this bitness");
  library->ReleaseTLibAttr(attributes);
  BSTR name = nullptr;
  library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
  Check(name && std::wstring(name) == L"AgendiaVB", "library name AgendiaVB");
  SysFreeString(name);

  ITypeInfo* coclass = nullptr;
  TYPEATTR* type = nullptr;
  Check(SUCCEEDED(library->GetTypeInfoOfGuid(CLSID_Calender, &coclass)) && SUCCEEDED(coclass->GetTypeAttr(&type)) &&
            type->typekind == TKIND_COCLASS && (type->wTypeFlags & TYPEFLAG_FCANCREATE) &&
            NameOf(coclass, MEMBERID_NIL) == L"Calender",
        "class Calender, creatable, by its class identifier");
  if (type) coclass->ReleaseTypeAttr(type);
  HREFTYPE reference = 0;
  INT flags = 0;
  ITypeInfo* default_interface = nullptr;
  Check(coclass && SUCCEEDED(coclass->GetImplTypeFlags(0, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) &&
            SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference)) &&
            SUCCEEDED(coclass->GetRefTypeInfo(reference, &default_interface)) &&
            NameOf(default_interface, MEMBERID_NIL) == L"_Calender",
        "the default interface of Calender is _Calender");
  if (default_interface) default_interface->Release();
  if (coclass) coclass->Release();

  ITypeInfo* dispatch = nullptr;
  type = nullptr;
  Check(SUCCEEDED(library->GetTypeInfoOfGuid(IID__Calender, &dispatch)) && SUCCEEDED(dispatch->GetTypeAttr(&type)) &&
            type->typekind == TKIND_DISPATCH,
        "_Calender by its interface identifier");
  if (type) {
    const WORD wanted = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
    char label[96];
    std::snprintf(label, sizeof label, "_Calender is dual, hidden, non-extensible (flags 0x%X)",
                  static_cast<unsigned>(type->wTypeFlags));
    Check((type->wTypeFlags & wanted) == wanted, label);
    dispatch->ReleaseTypeAttr(type);
  }
  ITypeInfo* vtable = nullptr;
  Check(dispatch && SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)) &&
            SUCCEEDED(dispatch->GetRefTypeInfo(reference, &vtable)),
        "_Calender has a vtable interface");
  if (vtable) {
    type = nullptr;
    vtable->GetTypeAttr(&type);
    Check(type && type->typekind == TKIND_INTERFACE && (type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) &&
              (type->wTypeFlags & TYPEFLAG_FDUAL),
          "the vtable interface of _Calender is dual and OLE automation compatible");
    Check(type && type->cFuncs == kMembers.size(), "_Calender has five members of its own");
    ITypeInfo* base = nullptr;
    Check(SUCCEEDED(vtable->GetRefTypeOfImplType(0, &reference)) && SUCCEEDED(vtable->GetRefTypeInfo(reference, &base)) &&
              NameOf(base, MEMBERID_NIL) == L"IDispatch",
          "_Calender derives from IDispatch");
    if (base) base->Release();
    for (size_t i = 0; type && i < kMembers.size() && i < type->cFuncs; ++i) {
      const Member& member = kMembers[i];
      FUNCDESC* function = nullptr;
      vtable->GetFuncDesc(static_cast<UINT>(i), &function);
      bool types_match = function && function->cParams == static_cast<SHORT>(member.parameters.size());
      for (SHORT p = 0; types_match && p < function->cParams; ++p) {
        types_match = TypeOf(function->lprgelemdescParam[p].tdesc) == member.parameters[static_cast<size_t>(p)];
      }
      char label[96];
      std::snprintf(label, sizeof label, "slot %zu: %ls, dispatch identifier 0x%08lX", i + 1, member.name,
                    static_cast<unsigned long>(member.id));
      Check(function && function->memid == member.id && function->invkind == member.kind &&
                NameOf(vtable, function->memid) == member.name &&
                // The system reports vtable offsets for the process reading
                // them, whatever the library was built for.
                function->oVft == static_cast<SHORT>((7 + i) * sizeof(void*)) &&
                function->elemdescFunc.tdesc.vt == VT_HRESULT &&
                types_match,
            label);
      if (function) vtable->ReleaseFuncDesc(function);
    }
    if (type) vtable->ReleaseTypeAttr(type);
    vtable->Release();
  }
  if (dispatch) dispatch->Release();
  library->Release();
  CoUninitialize();
  std::printf("%d failure(s)\n", g_failures);
  return g_failures == 0 ? 0 : 1;
}
