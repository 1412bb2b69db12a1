// Self-registration: the class, its two ProgIDs and the type library, under
// HKEY_CLASSES_ROOT or, per user, under HKEY_CURRENT_USER\Software\Classes.

#include "component/win32/com_server_p.h"

#include <string>
#include <vector>

namespace agendia::component::win32 {
namespace {

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_Calender); }
std::wstring TypeLibKey() { return L"TypeLib\\" + GuidText(LIBID_AgendiaVB); }
std::wstring InterfaceKey() { return L"Interface\\" + GuidText(IID__Calender); }

#if defined(_WIN64)
constexpr wchar_t kSysKindKey[] = L"win64";
// Where a DLL of the other bitness registers its class on 64-bit Windows.
// On 32-bit Windows there is one view, and the flag is ignored.
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr wchar_t kSysKindKey[] = L"win32";
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif

// One value of one key: the key's default value when `name` is null.
struct RegistryValue {
  std::wstring key;
  const wchar_t* name;
  std::wstring data;
};

// Every value registration writes. The type library's keys are written
// here too rather than by RegisterTypeLib, which also writes the interface
// into the other registry view: so the keys are the same on every system,
// and an installer package can carry exactly these as its own rows.
std::vector<RegistryValue> ServerValues() {
  const std::wstring clsid = GuidText(CLSID_Calender);
  const std::wstring class_key = ClassKey();
  const std::wstring path = ServerPath();
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  const std::wstring libid = GuidText(LIBID_AgendiaVB);
  const std::wstring version = TypeLibKey() + L"\\1.0";
  // The type library's standard marshaler, for the dual interface.
  const std::wstring marshaler = L"{00020424-0000-0000-C000-000000000046}";
  return {
      {class_key, nullptr, kProgId},
      {class_key + L"\\InprocServer32", nullptr, ServerPath()},
      {class_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {class_key + L"\\ProgID", nullptr, kVersionedProgId},
      {class_key + L"\\VersionIndependentProgID", nullptr, kProgId},
      {class_key + L"\\TypeLib", nullptr, GuidText(LIBID_AgendiaVB)},
      {class_key + L"\\Version", nullptr, L"1.0"},
      {class_key + L"\\Programmable", nullptr, L""},
      {kVersionedProgId, nullptr, kProgId},
      {std::wstring(kVersionedProgId) + L"\\CLSID", nullptr, clsid},
      {kProgId, nullptr, kProgId},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
      {std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId},
      {version, nullptr, L"AgendiaVB"},
      {version + L"\\FLAGS", nullptr, L"8"},  // LIBFLAG_FHASDISKIMAGE: a file holds it
      {version + L"\\HELPDIR", nullptr, folder},
      {version + L"\\409\\" + kSysKindKey, nullptr, path},
      {InterfaceKey(), nullptr, L"_Calender"},
      {InterfaceKey() + L"\\ProxyStubClsid", nullptr, marshaler},
      {InterfaceKey() + L"\\ProxyStubClsid32", nullptr, marshaler},
      {InterfaceKey() + L"\\TypeLib", nullptr, libid},
      {InterfaceKey() + L"\\TypeLib", L"Version", L"1.0"},
  };
}

LSTATUS WriteValue(HKEY root, const RegistryValue& value) {
  HKEY key = nullptr;
  LSTATUS result = RegCreateKeyExW(root, value.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_SET_VALUE, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()),
                          static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return result;
}

// The default value of `key` under `root`, or nothing.
bool ReadDefault(HKEY root, const std::wstring& key, std::wstring* data) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return false;
  }
  *data = buffer;
  return true;
}

bool IsGone(LSTATUS result) {
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND;
}

// A ProgID key is ours when its CLSID names Calender (or it has none left).
LSTATUS DeleteProgId(HKEY root, const std::wstring& prog_id) {
  std::wstring clsid;
  if (ReadDefault(root, prog_id + L"\\CLSID", &clsid) && lstrcmpiW(clsid.c_str(), GuidText(CLSID_Calender).c_str()) != 0) {
    return ERROR_SUCCESS;
  }
  return RegDeleteTreeW(root, prog_id.c_str());
}


// The classes key that `root` (HKEY_CLASSES_ROOT or the user's classes)
// stands for, as a base key and a path, so that it can be opened in a
// chosen registry view.
struct ClassesBase {
  HKEY base;
  std::wstring path;
};
ClassesBase BaseOf(bool per_user) {
  return {per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, L"Software\\Classes\\"};
}

bool ExistsInView(const ClassesBase& classes, const std::wstring& key, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(classes.base, (classes.path + key).c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

// Deletes `key` with everything beneath it in the registry view `view`.
LSTATUS DeleteInView(const ClassesBase& classes, const std::wstring& key, REGSAM view) {
  const std::wstring path = classes.path + key;
  HKEY opened = nullptr;
  LSTATUS result = RegOpenKeyExW(classes.base, path.c_str(), 0, KEY_ALL_ACCESS | view, &opened);
  if (result != ERROR_SUCCESS) return result;
  result = RegDeleteTreeW(opened, nullptr);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return result;
  return RegDeleteKeyExW(classes.base, path.c_str(), view, 0);
}

// A ProgID of the other view, deleted when its CLSID names Calender (or it
// has none left), as DeleteProgId does in this module's own view.
LSTATUS DeleteProgIdInView(const ClassesBase& classes, const std::wstring& prog_id, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(classes.base, (classes.path + prog_id).c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
    return ERROR_FILE_NOT_FOUND;
  }
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer;
  const bool names_class = RegGetValueW(opened, L"CLSID", nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
  RegCloseKey(opened);
  if (names_class && lstrcmpiW(buffer, GuidText(CLSID_Calender).c_str()) != 0) return ERROR_SUCCESS;
  return DeleteInView(classes, prog_id, view);
}

// Runs `body` with HKEY_CLASSES_ROOT standing for the user's classes when
// `per_user`, so that RegisterTypeLib writes there too.
template <typename Body>
HRESULT UnderClassesRoot(bool per_user, HKEY* root, Body body) {
  if (!per_user) {
    *root = HKEY_CLASSES_ROOT;
    return body();
  }
  HKEY user_classes = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &user_classes, nullptr) != ERROR_SUCCESS) {
    return SELFREG_E_CLASS;
  }
  RegOverridePredefKey(HKEY_CLASSES_ROOT, user_classes);
  *root = user_classes;
  HRESULT code = body();
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  RegCloseKey(user_classes);
  return code;
}

}  // namespace

int32_t RegisterServer(bool per_user) {
  HKEY root = nullptr;
  return UnderClassesRoot(per_user, &root, [&]() -> HRESULT {
    if (ServerPath().empty()) return SELFREG_E_CLASS;
    // The keys name the type library embedded in this DLL: it must load.
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(ServerPath().c_str(), REGKIND_NONE, &library))) return SELFREG_E_TYPELIB;
    library->Release();
    for (const RegistryValue& value : ServerValues()) {
      if (WriteValue(root, value) != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    return S_OK;
  });
}

// The DLLs of both bitnesses may be registered side by side. Each class and
// interface key lives in its own registry view, while the ProgIDs and the
// type library are kept once for both views (Windows since 7, and Wine, as
// the programs of either bitness see them). Unregistering one DLL removes
// all of its own keys and leaves the shared ones to the other class as long
// as that is registered; the last one removes what is left in either view,
// also where a system keeps the shared keys apart after all.
int32_t UnregisterServer(bool per_user) {
  HKEY root = nullptr;
  return UnderClassesRoot(per_user, &root, [&]() -> HRESULT {
    HRESULT result = S_OK;
    if (!IsGone(RegDeleteTreeW(root, ClassKey().c_str()))) result = SELFREG_E_CLASS;
    const ClassesBase classes = BaseOf(per_user);
    if (ExistsInView(classes, ClassKey() + L"\\InprocServer32", kOtherView)) {
      // The other bitness's class is still registered and names the ProgIDs
      // and the type library, which both views share: of those only this
      // bitness's entry of the type library goes. The interface key is this
      // view's own.
      const std::wstring own_entry = TypeLibKey() + L"\\1.0\\409\\" + kSysKindKey;
      if (!IsGone(RegDeleteTreeW(root, own_entry.c_str()))) result = SELFREG_E_TYPELIB;
      if (!IsGone(RegDeleteTreeW(root, InterfaceKey().c_str()))) result = SELFREG_E_TYPELIB;
      return result;
    }
    if (!IsGone(RegDeleteTreeW(root, TypeLibKey().c_str()))) result = SELFREG_E_TYPELIB;
    if (!IsGone(RegDeleteTreeW(root, InterfaceKey().c_str()))) result = SELFREG_E_TYPELIB;
    if (!IsGone(DeleteProgId(root, kVersionedProgId))) result = SELFREG_E_CLASS;
    if (!IsGone(DeleteProgId(root, kProgId))) result = SELFREG_E_CLASS;
    // What is left in either view: the other bitness's entry of the type
    // library after its class went first, its interface key, and shared
    // keys that a system keeps apart after all.
    for (REGSAM view : {REGSAM{0}, kOtherView}) {
      if (!IsGone(DeleteInView(classes, TypeLibKey(), view))) result = SELFREG_E_TYPELIB;
      if (!IsGone(DeleteInView(classes, InterfaceKey(), view))) result = SELFREG_E_TYPELIB;
      if (!IsGone(DeleteProgIdInView(classes, kVersionedProgId, view))) result = SELFREG_E_CLASS;
      if (!IsGone(DeleteProgIdInView(classes, kProgId, view))) result = SELFREG_E_CLASS;
    }
    return result;
  });
}

}  // namespace agendia::component::win32
