// The class factory and the class-object entry, over the memory platform.

#include "component/calender_fixture.h"
#include "component/class_factory.h"
#include "component/module_objects.h"

#include <agendia/class_factory.h>

namespace agendia::testing {
namespace {

class ClassFactoryTest : public CalenderFixture {
 protected:
  void SetUp() override {
    CalenderFixture::SetUp();
    ASSERT_EQ(component::CanUnloadNow(), hr::kOk) << "an earlier test left an object alive";
  }

  component::PlatformProvider Provider() {
    return [platform = memory.platform] { return platform; };
  }

  ComPtr<IClassFactory> Factory() {
    void* raw = nullptr;
    Status status =
        component::GetClassObject(clsid::kCalender, iid::kIClassFactory, &raw, Provider());
    EXPECT_TRUE(status.ok()) << status.description();
    return ComPtr<IClassFactory>::AdoptVoid(raw);
  }
};

TEST_F(ClassFactoryTest, CreatesCalenderThroughEachOfItsInterfaces) {
  auto factory = Factory();
  ComPtr<IUnknown> identity;
  for (const Guid& iid : {iid::kIUnknown, iid::kIDispatch, iid::k_Calender}) {
    SCOPED_TRACE(iid.ToString());
    void* raw = nullptr;
    ASSERT_TRUE(factory->CreateInstance(nullptr, iid, &raw).ok());
    ASSERT_NE(raw, nullptr);
    // Whatever was asked for, the object answers for all three.
    auto object = ComPtr<IUnknown>::AdoptVoid(nullptr);
    if (iid == iid::kIUnknown) object = ComPtr<IUnknown>::AdoptVoid(raw);
    if (iid == iid::kIDispatch) {
      auto dispatch = ComPtr<IDispatch>::AdoptVoid(raw);
      object = ComPtr<IUnknown>(dispatch.get());
    }
    if (iid == iid::k_Calender) {
      auto calender = ComPtr<_Calender>::AdoptVoid(raw);
      int16_t enabled = 5;
      ASSERT_TRUE(calender->get_PortalEnabled(&enabled).ok());
      EXPECT_EQ(enabled, 0);
      object = ComPtr<IUnknown>(calender.get());
    }
    auto as_calender = object.As<_Calender>(iid::k_Calender);
    auto as_dispatch = object.As<IDispatch>(iid::kIDispatch);
    auto as_unknown = object.As<IUnknown>(iid::kIUnknown);
    EXPECT_TRUE(as_calender.ok());
    EXPECT_TRUE(as_dispatch.ok());
    ASSERT_TRUE(as_unknown.ok());
    EXPECT_NE(as_unknown->get(), identity.get());  // each call makes a new object
    identity = *as_unknown;
  }
  EXPECT_EQ(memory.toolkit->forms_created, 0);  // creating never opens a window
}

TEST_F(ClassFactoryTest, AnInterfaceTheClassLacksIsRefusedAndNothingStaysAlive) {
  auto factory = Factory();
  void* raw = reinterpret_cast<void*>(1);
  Status status = factory->CreateInstance(nullptr, iid::kIClassFactory, &raw);
  EXPECT_EQ(status.code(), hr::kNoInterface);
  EXPECT_NE(status.description().find(iid::kIClassFactory.ToString()), std::string::npos);
  EXPECT_EQ(raw, nullptr);
  factory.Reset();
  EXPECT_EQ(component::CanUnloadNow(), hr::kOk);
}

TEST_F(ClassFactoryTest, AggregationIsRefused) {
  auto factory = Factory();
  auto outer = NewCalender();
  void* raw = reinterpret_cast<void*>(1);
  Status status = factory->CreateInstance(outer.get(), iid::kIUnknown, &raw);
  EXPECT_EQ(status.code(), hr::kNoAggregation);
  EXPECT_FALSE(status.description().empty());
  EXPECT_EQ(raw, nullptr);
}

TEST_F(ClassFactoryTest, WithoutAPlatformNoObjectIsCreated) {
  void* raw = nullptr;
  ASSERT_TRUE(component::GetClassObject(clsid::kCalender, iid::kIClassFactory, &raw,
                                        [] { return std::shared_ptr<const platform::Platform>(); })
                  .ok());
  auto factory = ComPtr<IClassFactory>::AdoptVoid(raw);
  void* object = reinterpret_cast<void*>(1);
  Status status = factory->CreateInstance(nullptr, iid::kIUnknown, &object);
  EXPECT_EQ(status.code(), hr::kFail);
  EXPECT_NE(status.description().find("platform"), std::string::npos) << status.description();
  EXPECT_EQ(object, nullptr);
}

TEST_F(ClassFactoryTest, TheLibraryMayUnloadOnlyWhenNoObjectIsAliveAndNoLockHeld) {
  auto factory = Factory();
  EXPECT_EQ(component::CanUnloadNow(), hr::kFalse);  // the factory itself is alive

  void* raw = nullptr;
  ASSERT_TRUE(factory->CreateInstance(nullptr, iid::k_Calender, &raw).ok());
  auto calender = ComPtr<_Calender>::AdoptVoid(raw);
  ASSERT_TRUE(factory->LockServer(true).ok());
  factory.Reset();
  EXPECT_EQ(component::CanUnloadNow(), hr::kFalse);  // the object
  calender.Reset();
  EXPECT_EQ(component::CanUnloadNow(), hr::kFalse);  // the lock

  auto second = Factory();
  ASSERT_TRUE(second->LockServer(false).ok());
  second.Reset();
  EXPECT_EQ(component::CanUnloadNow(), hr::kOk);
}

TEST_F(ClassFactoryTest, UnlockingAServerThatIsNotLockedFails) {
  auto factory = Factory();
  EXPECT_EQ(factory->LockServer(false).code(), hr::kUnexpected);
  factory.Reset();
  EXPECT_EQ(component::CanUnloadNow(), hr::kOk);
}

TEST_F(ClassFactoryTest, TheClassObjectEntryServesOnlyCalenderAndOnlyFactoryInterfaces) {
  struct Case {
    const char* name;
    Guid clsid;
    Guid iid;
    int32_t code;
  };
  const Case cases[] = {
      {"factory", clsid::kCalender, iid::kIClassFactory, hr::kOk},
      {"factory as IUnknown", clsid::kCalender, iid::kIUnknown, hr::kOk},
      {"another class", iid::k_Calender, iid::kIClassFactory, hr::kClassNotAvailable},
      {"the type library's id", libid::kAgendiaVB, iid::kIClassFactory, hr::kClassNotAvailable},
      {"the object's interface", clsid::kCalender, iid::k_Calender, hr::kNoInterface},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    void* raw = reinterpret_cast<void*>(1);
    Status status = component::GetClassObject(c.clsid, c.iid, &raw, Provider());
    EXPECT_EQ(status.code(), c.code);
    if (status.ok()) {
      ASSERT_NE(raw, nullptr);
      ComPtr<IUnknown>::AdoptVoid(raw).Reset();
    } else {
      EXPECT_EQ(raw, nullptr);
      EXPECT_FALSE(status.description().empty());
    }
  }
  EXPECT_EQ(component::CanUnloadNow(), hr::kOk);
}

}  // namespace
}  // namespace agendia::testing
