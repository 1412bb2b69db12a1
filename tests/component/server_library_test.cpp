// The shipped shared library as a host meets it: loaded by path, registered
// through its own entry point and created by ProgID through the records.
// Nothing here links the library; creating an object opens no window, so no
// display is needed.

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <agendia/activation.h>
#include <agendia/calender.h>
#include <agendia/class_factory.h>
#include <agendia/server.h>

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace agendia::testing {
namespace {

namespace fs = std::filesystem;

class ServerLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    saved_config_ = saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("XDG_CONFIG_HOME", config.str().c_str(), 1);

    library_ = dlopen(AGENDIA_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    get_class_object = Entry<DllGetClassObjectFn>("DllGetClassObject");
    can_unload_now = Entry<DllCanUnloadNowFn>("DllCanUnloadNow");
    register_server = Entry<DllRegisterServerFn>("DllRegisterServer");
    unregister_server = Entry<DllUnregisterServerFn>("DllUnregisterServer");
    ASSERT_TRUE(get_class_object && can_unload_now && register_server && unregister_server);
  }
  void TearDown() override {
    if (saved_config_) {
      setenv("XDG_CONFIG_HOME", saved_config_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    // The library stays loaded: objects of a loaded server may outlive us.
  }

  template <typename Fn>
  Fn Entry(const char* name) {
    return reinterpret_cast<Fn>(dlsym(library_, name));
  }

  fs::path RegistryRoot() const { return config.path() / "agendia" / "registry"; }

  TempDir config;
  DllGetClassObjectFn get_class_object = nullptr;
  DllCanUnloadNowFn can_unload_now = nullptr;
  DllRegisterServerFn register_server = nullptr;
  DllUnregisterServerFn unregister_server = nullptr;

 private:
  void* library_ = nullptr;
  std::optional<std::string> saved_config_;
};

TEST_F(ServerLibraryTest, ExportsOnlyTheFourEntryPoints) {
  // The core's own functions stay inside the library.
  void* library = dlopen(AGENDIA_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr);
  for (const char* hidden : {"_ZN7agendia3pub14SetWindowOwnerERNS_8platform12WindowSystemEii",
                             "_ZN7agendia9component12CanUnloadNowEv"}) {
    SCOPED_TRACE(hidden);
    EXPECT_EQ(dlsym(library, hidden), nullptr);
  }
}

TEST_F(ServerLibraryTest, RegisterThenCreateByProgIdThenUnregister) {
  ASSERT_EQ(register_server(), hr::kOk);

  // The record names this very library as the in-process server.
  std::ifstream record(RegistryRoot() / "CLSID" / clsid::kCalender.ToString());
  std::stringstream text;
  text << record.rdbuf();
  EXPECT_NE(text.str().find("InprocServer32=" + fs::absolute(AGENDIA_LIBRARY_FILE).string() + "\n"),
            std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("ThreadingModel=Apartment\n"), std::string::npos);

  EXPECT_EQ(can_unload_now(), hr::kOk);
  {
    // The default registry root is the one the library wrote to.
    StatusOr<ComPtr<IDispatch>> object = CreateObjectByProgID(kCalenderProgId);
    ASSERT_TRUE(object.ok()) << object.status().description();
    EXPECT_EQ(can_unload_now(), hr::kFalse);

    DispId id = 0;
    ASSERT_TRUE((*object)->GetIDsOfNames("portalenabled", &id).ok());
    std::vector<Variant> none;
    Variant enabled = Variant::I4(7);
    ASSERT_TRUE((*object)->Invoke(id, dispatch::kPropertyGet, none, &enabled).ok());
    EXPECT_EQ(enabled, Variant::Bool(false));

    auto calender = object->As<_Calender>(iid::k_Calender);
    ASSERT_TRUE(calender.ok());
    int16_t direct = 7;
    ASSERT_TRUE((*calender)->get_PortalEnabled(&direct).ok());
    EXPECT_EQ(direct, 0);
  }
  EXPECT_EQ(can_unload_now(), hr::kOk);

  ASSERT_EQ(unregister_server(), hr::kOk);
  EXPECT_FALSE(fs::exists(RegistryRoot() / "CLSID" / clsid::kCalender.ToString()));
  EXPECT_FALSE(fs::exists(RegistryRoot() / "ProgID" / kCalenderProgId));
  EXPECT_FALSE(fs::exists(RegistryRoot() / "TypeLib" / libid::kAgendiaVB.ToString()));
  EXPECT_EQ(CreateObjectByProgID(kCalenderProgId).status().code(), hr::kInvalidClassString);
}

TEST_F(ServerLibraryTest, ClassObjectEntryRefusesOtherClassesAndNullArguments) {
  void* raw = reinterpret_cast<void*>(1);
  EXPECT_EQ(get_class_object(&iid::k_Calender, &iid::kIClassFactory, &raw), hr::kClassNotAvailable);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(get_class_object(nullptr, &iid::kIClassFactory, &raw), hr::kPointer);
  EXPECT_EQ(get_class_object(&clsid::kCalender, &iid::kIClassFactory, nullptr), hr::kPointer);
  EXPECT_EQ(can_unload_now(), hr::kOk);
}

TEST_F(ServerLibraryTest, AFactoryHeldOrLockedKeepsTheLibraryInUse) {
  void* raw = nullptr;
  ASSERT_EQ(get_class_object(&clsid::kCalender, &iid::kIClassFactory, &raw), hr::kOk);
  auto factory = ComPtr<IClassFactory>::AdoptVoid(raw);
  EXPECT_EQ(can_unload_now(), hr::kFalse);
  ASSERT_TRUE(factory->LockServer(true).ok());
  factory.Reset();
  EXPECT_EQ(can_unload_now(), hr::kFalse);

  ASSERT_EQ(get_class_object(&clsid::kCalender, &iid::kIClassFactory, &raw), hr::kOk);
  factory = ComPtr<IClassFactory>::AdoptVoid(raw);
  ASSERT_TRUE(factory->LockServer(false).ok());
  factory.Reset();
  EXPECT_EQ(can_unload_now(), hr::kOk);
}

TEST_F(ServerLibraryTest, RegisterFailsWithSelfRegWhenTheRegistryCannotBeWritten) {
  // A file where the configuration folder's "agendia" folder should be.
  std::ofstream(config.path() / "agendia") << "not a folder";
  EXPECT_EQ(register_server(), hr::kSelfRegClass);
}

}  // namespace
}  // namespace agendia::testing
