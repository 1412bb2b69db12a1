// Self-registration: the class, its two ProgIDs and the type library, under
// HKEY_CLASSES_ROOT or, per user, under HKEY_CURRENT_USER\Software\Classes.

#include "component/win32/com_server_p.h"

#include <agendia/calender.h>

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

// One value of one key: the key's default value when `name` is null.
struct RegistryValue {
  std::wstring key;
  const wchar_t* name;
  std::wstring data;
};

std::vector<RegistryValue> ServerValues() {
  const std::wstring clsid = GuidText(CLSID_Calender);
  const std::wstring class_key = ClassKey();
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

#if defined(_WIN64)
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

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
    for (const RegistryValue& value : ServerValues()) {
      if (WriteValue(root, value) != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(ServerPath().c_str(), REGKIND_NONE, &library))) return SELFREG_E_TYPELIB;
    std::wstring path = ServerPath();
    HRESULT code = RegisterTypeLib(library, path.data(), nullptr);
    library->Release();
    return FAILED(code) ? SELFREG_E_TYPELIB : S_OK;
  });
}

int32_t UnregisterServer(bool per_user) {
  HKEY root = nullptr;
  return UnderClassesRoot(per_user, &root, [&]() -> HRESULT {
    HRESULT result = S_OK;
    // A type library that is not registered is no failure.
    HRESULT code = UnRegisterTypeLib(LIBID_AgendiaVB, agendia::kTypeLibMajor, agendia::kTypeLibMinor,
                                     agendia::kTypeLibLcid, kSysKind);
    if (FAILED(code) && code != TYPE_E_REGISTRYACCESS && code != TYPE_E_LIBNOTREGISTERED) {
      result = SELFREG_E_TYPELIB;
    }
    if (!IsGone(RegDeleteTreeW(root, ClassKey().c_str()))) result = SELFREG_E_CLASS;
    if (!IsGone(DeleteProgId(root, kVersionedProgId))) result = SELFREG_E_CLASS;
    if (!IsGone(DeleteProgId(root, kProgId))) result = SELFREG_E_CLASS;
    return result;
  });
}

}  // namespace agendia::component::win32
