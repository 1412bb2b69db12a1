#include "component/registration.h"

#include "component/registry_files.h"

#include <agendia/calender.h>

namespace agendia::component {
namespace {

std::string TypeLibVersion() {
  return std::to_string(kTypeLibMajor) + "." + std::to_string(kTypeLibMinor);
}

std::string HexLcid() {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint32_t lcid = kTypeLibLcid; lcid != 0; lcid >>= 4) text.insert(text.begin(), kDigits[lcid & 0xF]);
  return text;
}

Status AsSelfRegFailure(const Status& status) {
  if (status.ok()) return status;
  return Status::Error(hr::kSelfRegClass, status.description());
}

}  // namespace

Status RegisterCalender(const std::string& registry_root, const std::string& server_path) {
  const std::string clsid = clsid::kCalender.ToString();
  const std::string libid = libid::kAgendiaVB.ToString();
  AGENDIA_RETURN_IF_ERROR(AsSelfRegFailure(registry::WriteRecord(
      registry_root, registry::kTypeLibHive, libid,
      {{"Name", kTypeLibName}, {"Version", TypeLibVersion()}, {"LCID", HexLcid()},
       {"Path", server_path}})));
  AGENDIA_RETURN_IF_ERROR(AsSelfRegFailure(registry::WriteRecord(
      registry_root, registry::kClsidHive, clsid,
      {{"Class", kCalenderClassName},
       {"ProgID", kCalenderProgId},
       {"InprocServer32", server_path},
       {"ThreadingModel", kThreadingModel},
       {"TypeLib", libid},
       {"Version", TypeLibVersion()}})));
  return AsSelfRegFailure(registry::WriteRecord(registry_root, registry::kProgIdHive,
                                                kCalenderProgId,
                                                {{"Class", kCalenderClassName}, {"CLSID", clsid}}));
}

Status UnregisterCalender(const std::string& registry_root) {
  const std::string clsid = clsid::kCalender.ToString();
  StatusOr<registry::Record> progid =
      registry::ReadRecord(registry_root, registry::kProgIdHive, kCalenderProgId);
  if (progid.ok() && registry::ValueOf(*progid, "CLSID") == clsid) {
    AGENDIA_RETURN_IF_ERROR(AsSelfRegFailure(
        registry::RemoveRecord(registry_root, registry::kProgIdHive, kCalenderProgId)));
  }
  AGENDIA_RETURN_IF_ERROR(
      AsSelfRegFailure(registry::RemoveRecord(registry_root, registry::kClsidHive, clsid)));
  return AsSelfRegFailure(registry::RemoveRecord(registry_root, registry::kTypeLibHive,
                                                 libid::kAgendiaVB.ToString()));
}

}  // namespace agendia::component
