#pragma once

// For a host that links the component's library directly: creates a Calender
// object through the library's class factory, the way COM's creation does.

#include <agendia/calender.h>
#include <agendia/class_factory.h>
#include <agendia/com_ptr.h>
#include <agendia/server.h>
#include <agendia/status.h>

namespace agendia {

// A new Calender object as its default interface, with one reference for the
// caller. Fails with the factory's status and description.
inline StatusOr<ComPtr<_Calender>> CreateCalender() {
  void* raw = nullptr;
  const int32_t code = DllGetClassObject(&clsid::kCalender, &iid::kIClassFactory, &raw);
  if (code < 0) return Status::Error(code, "The calendar component offers no class factory");
  auto factory = ComPtr<IClassFactory>::AdoptVoid(raw);
  void* object = nullptr;
  Status created = factory->CreateInstance(nullptr, iid::k_Calender, &object);
  if (!created.ok()) return created;
  return ComPtr<_Calender>::AdoptVoid(object);
}

}  // namespace agendia
