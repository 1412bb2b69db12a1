// Creates the calendar through the installed library's class factory and
// reads a property late-bound by name, as a host would.
#include <agendia/calender.h>
#include <agendia/class_factory.h>
#include <agendia/com_ptr.h>
#include <agendia/server.h>
#include <agendia/variant.h>

#include <cstdio>
#include <vector>

int main() {
  void* raw = nullptr;
  if (DllGetClassObject(&agendia::clsid::kCalender, &agendia::iid::kIClassFactory, &raw) != 0) return 1;
  auto factory = agendia::ComPtr<agendia::IClassFactory>::AdoptVoid(raw);
  void* object = nullptr;
  if (!factory->CreateInstance(nullptr, agendia::iid::kIDispatch, &object).ok()) return 2;
  auto calendar = agendia::ComPtr<agendia::IDispatch>::AdoptVoid(object);
  agendia::DispId id = 0;
  if (!calendar->GetIDsOfNames("PortalEnabled", &id).ok() || id != agendia::dispid::kPortalEnabled) return 3;
  std::vector<agendia::Variant> none;
  agendia::Variant result;
  if (!calendar->Invoke(id, agendia::dispatch::kPropertyGet, none, &result).ok()) return 4;
  std::printf("PortalEnabled is %s\n", result.ToBool().ok() && !*result.ToBool() ? "false" : "true?");
  return 0;
}
