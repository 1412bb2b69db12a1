#include <agendia/activation.h>

#include "component/registry_files.h"
#include "component/registry_loader.h"

#include <agendia/class_factory.h>

namespace agendia {
namespace {

std::string RootOrDefault(const std::string& registry_root) {
  return registry_root.empty() ? registry::DefaultRoot() : registry_root;
}

}  // namespace

std::string DefaultRegistryRoot() { return registry::DefaultRoot(); }

StatusOr<Guid> CLSIDFromProgID(const std::string& progid, const std::string& registry_root) {
  const std::string root = RootOrDefault(registry_root);
  StatusOr<registry::Record> record = registry::ReadRecord(root, registry::kProgIdHive, progid);
  if (!record.ok()) {
    return Status::Error(hr::kInvalidClassString, "the ProgID \"" + progid +
                                                      "\" is not registered: " +
                                                      record.status().description());
  }
  std::optional<std::string> text = registry::ValueOf(*record, "CLSID");
  std::optional<Guid> clsid = text ? Guid::Parse(*text) : std::nullopt;
  if (!clsid) {
    return Status::Error(hr::kInvalidClassString, "the record of the ProgID \"" + progid +
                                                      "\" names no valid class identifier");
  }
  return *clsid;
}

StatusOr<ComPtr<IUnknown>> CreateRegisteredObject(const Guid& clsid,
                                                  const std::string& registry_root) {
  const std::string root = RootOrDefault(registry_root);
  StatusOr<registry::Record> record =
      registry::ReadRecord(root, registry::kClsidHive, clsid.ToString());
  if (!record.ok()) {
    return Status::Error(hr::kClassNotRegistered, "the class " + clsid.ToString() +
                                                      " is not registered: " +
                                                      record.status().description());
  }
  std::optional<std::string> server = registry::ValueOf(*record, "InprocServer32");
  if (!server || server->empty()) {
    return Status::Error(hr::kClassNotRegistered,
                         "the record of the class " + clsid.ToString() + " names no server");
  }
  StatusOr<DllGetClassObjectFn> get_class_object = registry::LoadClassObjectEntry(*server);
  if (!get_class_object.ok()) return get_class_object.status();

  void* raw_factory = nullptr;
  int32_t code = (*get_class_object)(&clsid, &iid::kIClassFactory, &raw_factory);
  if (code < 0) {
    return Status::Error(code, "DllGetClassObject of " + *server + " refused the class " +
                                   clsid.ToString());
  }
  ComPtr<IClassFactory> factory = ComPtr<IClassFactory>::AdoptVoid(raw_factory);
  if (!factory) return Status::Fail("DllGetClassObject of " + *server + " returned no factory");

  void* raw_object = nullptr;
  Status created = factory->CreateInstance(nullptr, iid::kIUnknown, &raw_object);
  if (!created.ok()) return created;
  return ComPtr<IUnknown>::AdoptVoid(raw_object);
}

StatusOr<ComPtr<IDispatch>> CreateObjectByProgID(const std::string& progid,
                                                 const std::string& registry_root) {
  StatusOr<Guid> clsid = CLSIDFromProgID(progid, registry_root);
  if (!clsid.ok()) return clsid.status();
  StatusOr<ComPtr<IUnknown>> object = CreateRegisteredObject(*clsid, registry_root);
  if (!object.ok()) return object.status();
  return object->As<IDispatch>(iid::kIDispatch);
}

}  // namespace agendia
