#include "component/calender_dispatch.h"

#include <array>
#include <string_view>

namespace agendia::component {
namespace {

struct Member {
  DispId dispid;
  std::string_view name;
};

constexpr std::array<Member, 4> kMembers = {{
    {dispid::kPortHwnd, "PortHwnd"},
    {dispid::kGetPortalHwnd, "GetPortalHwnd"},
    {dispid::kPortalEnabled, "PortalEnabled"},
    {dispid::kCalenderDesign, "CalenderDesign"},
}};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string Hex(DispId dispid) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(uint32_t(dispid) >> shift) & 0xF];
  return text;
}

bool Asks(uint16_t flags, uint16_t kinds) { return (flags & kinds) != 0; }

Status NotAllowed(std::string_view member, std::string_view what) {
  return Status::Error(hr::kMemberNotFound,
                       std::string(member) + " does not support " + std::string(what));
}

Status CheckCount(std::string_view member, const std::vector<Variant>& args, size_t expected) {
  if (args.size() == expected) return Status::Ok();
  return Status::Error(hr::kBadParamCount, std::string(member) + " takes " +
                                               std::to_string(expected) + " argument(s), not " +
                                               std::to_string(args.size()));
}

// Names the argument in a conversion failure, keeping the failure's code.
Status AtArgument(const Status& status, std::string_view member, size_t index,
                  std::string_view parameter) {
  return Status::Error(status.code(), status.description() + " (argument " +
                                          std::to_string(index + 1) + ", " +
                                          std::string(parameter) + ", of " + std::string(member) +
                                          ")");
}

void SetResult(Variant* result, Variant value) {
  if (result) *result = std::move(value);
}

Status InvokePortHwnd(_Calender& target, uint16_t flags, std::vector<Variant>& args) {
  if (!Asks(flags, dispatch::kPropertyPut)) return NotAllowed("PortHwnd", "reading: it is write-only");
  AGENDIA_RETURN_IF_ERROR(CheckCount("PortHwnd", args, 1));
  StatusOr<int32_t> hwnd = args[0].ToInt32();
  if (!hwnd.ok()) return AtArgument(hwnd.status(), "PortHwnd", 0, "value");
  return target.put_PortHwnd(*hwnd);
}

Status InvokeGetPortalHwnd(_Calender& target, uint16_t flags, std::vector<Variant>& args,
                           Variant* result) {
  if (!Asks(flags, dispatch::kMethod | dispatch::kPropertyGet)) {
    return NotAllowed("GetPortalHwnd", "assignment: it is a method");
  }
  AGENDIA_RETURN_IF_ERROR(CheckCount("GetPortalHwnd", args, 1));
  StatusOr<int32_t> vData = args[0].ToInt32();
  if (!vData.ok()) return AtArgument(vData.status(), "GetPortalHwnd", 0, "vData");
  int32_t portal = 0;
  AGENDIA_RETURN_IF_ERROR(target.GetPortalHwnd(*vData, &portal));
  SetResult(result, Variant::I4(portal));
  return Status::Ok();
}

Status InvokePortalEnabled(_Calender& target, uint16_t flags, std::vector<Variant>& args,
                           Variant* result) {
  if (Asks(flags, dispatch::kPropertyPut)) {
    AGENDIA_RETURN_IF_ERROR(CheckCount("PortalEnabled", args, 1));
    StatusOr<bool> value = args[0].ToBool();
    if (!value.ok()) return AtArgument(value.status(), "PortalEnabled", 0, "value");
    return target.put_PortalEnabled(*value ? int16_t{-1} : int16_t{0});
  }
  if (!Asks(flags, dispatch::kPropertyGet | dispatch::kMethod)) {
    return NotAllowed("PortalEnabled", "assignment by reference");
  }
  AGENDIA_RETURN_IF_ERROR(CheckCount("PortalEnabled", args, 0));
  int16_t enabled = 0;
  AGENDIA_RETURN_IF_ERROR(target.get_PortalEnabled(&enabled));
  SetResult(result, Variant::Bool(enabled != 0));
  return Status::Ok();
}

Status InvokeCalenderDesign(_Calender& target, uint16_t flags, std::vector<Variant>& args,
                            Variant* result) {
  if (!Asks(flags, dispatch::kMethod | dispatch::kPropertyGet)) {
    return NotAllowed("CalenderDesign", "assignment: it is a method");
  }
  AGENDIA_RETURN_IF_ERROR(CheckCount("CalenderDesign", args, 6));
  constexpr std::array<std::string_view, 6> kParameters = {
      "VxDbName", "cUserID", "cAcc_ID", "cIYear", "dayCurr", "language"};
  std::array<std::string*, 6> texts{};
  for (size_t i = 0; i < args.size(); ++i) {
    VarType type = args[i].type();
    if (type != VarType::kString && type != VarType::kStringRef) {
      return AtArgument(Status::Error(hr::kTypeMismatch, "Type mismatch: a string is required"),
                        "CalenderDesign", i, kParameters[i]);
    }
    texts[i] = args[i].StringPointer();  // null for a null reference: the member reports it
  }
  AGENDIA_RETURN_IF_ERROR(
      target.CalenderDesign(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]));
  SetResult(result, Variant());
  return Status::Ok();
}

}  // namespace

Status CalenderDispIdOfName(const std::string& name, DispId* dispid) {
  if (!dispid) return Status::Error(hr::kPointer, "GetIDsOfNames: the pointer dispid is null");
  for (const Member& member : kMembers) {
    if (SameName(member.name, name)) {
      *dispid = member.dispid;
      return Status::Ok();
    }
  }
  return Status::Error(hr::kUnknownName, "Calender has no member named \"" + name + "\"");
}

Status InvokeCalender(_Calender& target, DispId dispid, uint16_t flags, std::vector<Variant>& args,
                      Variant* result) {
  switch (dispid) {
    case dispid::kPortHwnd:
      return InvokePortHwnd(target, flags, args);
    case dispid::kGetPortalHwnd:
      return InvokeGetPortalHwnd(target, flags, args, result);
    case dispid::kPortalEnabled:
      return InvokePortalEnabled(target, flags, args, result);
    case dispid::kCalenderDesign:
      return InvokeCalenderDesign(target, flags, args, result);
    default:
      return Status::Error(hr::kMemberNotFound,
                           "Calender has no member with dispatch identifier " + Hex(dispid));
  }
}

}  // namespace agendia::component
