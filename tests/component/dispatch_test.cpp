// Late-bound calls to Calender: by dispatch identifier and by member name.

#include "component/calender_fixture.h"

#include <agendia/dispatch.h>

namespace agendia::testing {
namespace {

class DispatchTest : public CalenderFixture {
 protected:
  // The dispatch interface, obtained the way a host obtains it.
  ComPtr<IDispatch> Dispatch(const ComPtr<Calender>& calender) {
    auto dispatch = ComPtr<IUnknown>(calender.get()).As<IDispatch>(iid::kIDispatch);
    EXPECT_TRUE(dispatch.ok());
    return dispatch.ok() ? *dispatch : ComPtr<IDispatch>();
  }

  // Calls by name: the name's identifier, then Invoke.
  Status InvokeByName(IDispatch& dispatch, const std::string& name, uint16_t flags,
                      std::vector<Variant> args, Variant* result = nullptr) {
    DispId id = 0;
    AGENDIA_RETURN_IF_ERROR(dispatch.GetIDsOfNames(name, &id));
    return dispatch.Invoke(id, flags, args, result);
  }
};

TEST_F(DispatchTest, EveryMemberNameMapsToItsIdentifierInAnyLetterCase) {
  struct Case {
    const char* name;
    DispId id;
  };
  const Case cases[] = {
      {"PortHwnd", 0x68030001},       {"porthwnd", 0x68030001},
      {"GetPortalHwnd", 0x60030002},  {"GETPORTALHWND", 0x60030002},
      {"PortalEnabled", 0x68030000},  {"portalENABLED", 0x68030000},
      {"CalenderDesign", 0x60030003}, {"calenderdesign", 0x60030003},
  };
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DispId id = 0;
    ASSERT_TRUE(calender->GetIDsOfNames(c.name, &id).ok());
    EXPECT_EQ(id, c.id);
  }
}

TEST_F(DispatchTest, AnUnknownNameFailsWithUnknownNameAndSaysWhichName) {
  auto calender = NewCalender();
  for (const char* name : {"CalendarDesign", "PortHwnd2", "", "QueryInterface"}) {
    SCOPED_TRACE(name);
    DispId id = 7;
    Status status = calender->GetIDsOfNames(name, &id);
    EXPECT_EQ(status.code(), hr::kUnknownName);
    EXPECT_NE(status.description().find(std::string("\"") + name + "\""), std::string::npos)
        << status.description();
  }
}

// Every member by identifier and by name behaves as the direct call.
class DispatchEveryWayTest : public DispatchTest, public ::testing::WithParamInterface<bool> {
 protected:
  Status Call(IDispatch& dispatch, DispId id, const std::string& name, uint16_t flags,
              std::vector<Variant> args, Variant* result = nullptr) {
    if (GetParam()) return InvokeByName(dispatch, name, flags, std::move(args), result);
    return dispatch.Invoke(id, flags, args, result);
  }
};

TEST_P(DispatchEveryWayTest, PortHwndPutStoresTheParentOfTheWindow) {
  auto chain = WindowChain(3);
  auto calender = NewCalender();
  auto dispatch = Dispatch(calender);
  ASSERT_TRUE(Call(*dispatch, dispid::kPortHwnd, "PortHwnd", dispatch::kPropertyPut,
                   {Variant::I4(chain[2])}).ok());
  EXPECT_EQ(pub::g_hPortal, chain[1]);
  ASSERT_TRUE(Call(*dispatch, dispid::kPortHwnd, "PortHwnd", dispatch::kPropertyPut,
                   {Variant::I2(static_cast<int16_t>(chain[1]))}).ok());
  EXPECT_EQ(pub::g_hPortal, chain[0]);
}

TEST_P(DispatchEveryWayTest, PortHwndCannotBeRead) {
  auto calender = NewCalender();
  auto dispatch = Dispatch(calender);
  Variant result;
  Status status = Call(*dispatch, dispid::kPortHwnd, "PortHwnd", dispatch::kPropertyGet, {}, &result);
  EXPECT_EQ(status.code(), hr::kMemberNotFound);
  EXPECT_NE(status.description().find("write-only"), std::string::npos) << status.description();
}

TEST_P(DispatchEveryWayTest, GetPortalHwndReturnsTheTopAncestorAsA32BitInteger) {
  auto chain = WindowChain(3);
  auto calender = NewCalender();
  auto dispatch = Dispatch(calender);
  for (uint16_t flags : {dispatch::kMethod, uint16_t(dispatch::kMethod | dispatch::kPropertyGet)}) {
    SCOPED_TRACE(flags);
    pub::g_hPortal = 0;
    Variant result;
    ASSERT_TRUE(Call(*dispatch, dispid::kGetPortalHwnd, "GetPortalHwnd", flags,
                     {Variant::I4(chain[2])}, &result).ok());
    EXPECT_EQ(result, Variant::I4(chain[0]));
    EXPECT_EQ(pub::g_hPortal, chain[0]);
  }
}

TEST_P(DispatchEveryWayTest, PortalEnabledIsReadAndWrittenAsABoolean) {
  auto chain = WindowChain(2);
  pub::g_hPortal = chain[0];
  auto calender = NewCalender();
  auto dispatch = Dispatch(calender);
  Variant result = Variant::I4(5);
  ASSERT_TRUE(Call(*dispatch, dispid::kPortalEnabled, "PortalEnabled", dispatch::kPropertyGet, {},
                   &result).ok());
  EXPECT_EQ(result, Variant::Bool(false));

  ASSERT_TRUE(Call(*dispatch, dispid::kPortalEnabled, "PortalEnabled", dispatch::kPropertyPut,
                   {Variant::Bool(false)}).ok());
  EXPECT_FALSE(memory.window_system->IsEnabled(chain[0]));
  ASSERT_TRUE(Call(*dispatch, dispid::kPortalEnabled, "PortalEnabled", dispatch::kPropertyPut,
                   {Variant::I4(1)}).ok());
  EXPECT_TRUE(memory.window_system->IsEnabled(chain[0]));

  ASSERT_TRUE(Call(*dispatch, dispid::kPortalEnabled, "PortalEnabled",
                   dispatch::kMethod | dispatch::kPropertyGet, {}, &result).ok());
  EXPECT_EQ(result, Variant::Bool(true));
  EXPECT_EQ(result.BoolValue(), -1);
}

TEST_P(DispatchEveryWayTest, CalenderDesignOpensTheWindowWithTextsByValueOrByReference) {
  auto calender = NewCalender();
  auto dispatch = Dispatch(calender);
  std::optional<DesignArgs> shown;
  memory.toolkit->while_shown = [&](platform::memory::MemoryFormWindow&) {
    shown = ContextOf(*calender->CalendarWindow());
  };
  std::string user = "u9", language = "zh-cn";
  std::vector<Variant> args = {Variant::String("Server=x;"), Variant::StringRef(&user),
                               Variant::String("a1"),        Variant::String("2022"),
                               Variant::String("2022-02-02"), Variant::StringRef(&language)};
  Status status = Call(*dispatch, dispid::kCalenderDesign, "CalenderDesign", dispatch::kMethod, args);
  ASSERT_TRUE(status.ok()) << status.description();
  ASSERT_TRUE(shown.has_value());
  EXPECT_TRUE(*shown == (DesignArgs{"Server=x;", "u9", "a1", "2022", "2022-02-02", "zh-cn"}));
  EXPECT_EQ(user, "u9");
  EXPECT_EQ(language, "zh-cn");
}

INSTANTIATE_TEST_SUITE_P(ByIdentifierAndByName, DispatchEveryWayTest, ::testing::Bool(),
                         [](const auto& way) { return way.param ? "ByName" : "ById"; });

TEST_F(DispatchTest, AWrongNumberOfArgumentsFailsWithBadParamCount) {
  struct Case {
    DispId id;
    uint16_t flags;
    size_t count;
  };
  const Case cases[] = {
      {dispid::kPortHwnd, dispatch::kPropertyPut, 0},
      {dispid::kPortHwnd, dispatch::kPropertyPut, 2},
      {dispid::kGetPortalHwnd, dispatch::kMethod, 0},
      {dispid::kGetPortalHwnd, dispatch::kMethod, 2},
      {dispid::kPortalEnabled, dispatch::kPropertyGet, 1},
      {dispid::kPortalEnabled, dispatch::kPropertyPut, 0},
      {dispid::kCalenderDesign, dispatch::kMethod, 5},
      {dispid::kCalenderDesign, dispatch::kMethod, 7},
  };
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.id << " with " << c.count);
    std::vector<Variant> args(c.count, Variant::String("1"));
    Status status = calender->Invoke(c.id, c.flags, args, nullptr);
    EXPECT_EQ(status.code(), hr::kBadParamCount);
    EXPECT_NE(status.description().find(std::to_string(c.count)), std::string::npos)
        << status.description();
  }
  EXPECT_EQ(memory.toolkit->forms_created, 0);
}

TEST_F(DispatchTest, AnArgumentThatDoesNotConvertFailsWithTypeMismatchNamingIt) {
  struct Case {
    const char* name;
    DispId id;
    uint16_t flags;
    std::vector<Variant> args;
    const char* description_part;
  };
  const Case cases[] = {
      {"window as text", dispid::kGetPortalHwnd, dispatch::kMethod, {Variant::String("top")},
       "vData"},
      {"handle as text", dispid::kPortHwnd, dispatch::kPropertyPut, {Variant::String("12x")},
       "PortHwnd"},
      {"enabled as text", dispid::kPortalEnabled, dispatch::kPropertyPut,
       {Variant::String("maybe")}, "PortalEnabled"},
      {"year as number",
       dispid::kCalenderDesign,
       dispatch::kMethod,
       {Variant::String(""), Variant::String(""), Variant::String(""), Variant::I4(2024),
        Variant::String(""), Variant::String("")},
       "argument 4, cIYear"},
  };
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Variant> args = c.args;
    Status status = calender->Invoke(c.id, c.flags, args, nullptr);
    EXPECT_EQ(status.code(), hr::kTypeMismatch);
    EXPECT_NE(status.description().find(c.description_part), std::string::npos)
        << status.description();
  }
  EXPECT_EQ(pub::g_hPortal, 0);
  EXPECT_TRUE(memory.window_system->enable_calls.empty());
  EXPECT_EQ(memory.toolkit->forms_created, 0);
}

TEST_F(DispatchTest, ANullStringReferenceReachesTheMemberAsANullPointer) {
  auto calender = NewCalender();
  std::vector<Variant> args(6, Variant::String("x"));
  args[2] = Variant::StringRef(nullptr);
  Status status = calender->Invoke(dispid::kCalenderDesign, dispatch::kMethod, args, nullptr);
  EXPECT_EQ(status.code(), hr::kPointer);
  EXPECT_NE(status.description().find("cAcc_ID"), std::string::npos) << status.description();
}

TEST_F(DispatchTest, AnUnknownIdentifierOrAnUnsupportedKindOfCallFailsWithMemberNotFound) {
  struct Case {
    const char* name;
    DispId id;
    uint16_t flags;
    size_t count;
  };
  const Case cases[] = {
      {"unknown identifier", 0x60030004, dispatch::kMethod, 0},
      {"assigning a method", dispid::kGetPortalHwnd, dispatch::kPropertyPut, 1},
      {"assigning to CalenderDesign", dispid::kCalenderDesign, dispatch::kPropertyPut, 6},
      {"assigning PortalEnabled by reference", dispid::kPortalEnabled, dispatch::kPropertyPutRef, 1},
  };
  auto calender = NewCalender();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Variant> args(c.count, Variant::I4(0));
    Status status = calender->Invoke(c.id, c.flags, args, nullptr);
    EXPECT_EQ(status.code(), hr::kMemberNotFound);
    EXPECT_FALSE(status.description().empty());
  }
}

TEST_F(DispatchTest, TheObjectOffersNoTypeInformation) {
  auto calender = NewCalender();
  uint32_t count = 9;
  ASSERT_TRUE(calender->GetTypeInfoCount(&count).ok());
  EXPECT_EQ(count, 0u);
  void* info = reinterpret_cast<void*>(1);
  EXPECT_EQ(calender->GetTypeInfo(0, 0x409, &info).code(), hr::kNotImplemented);
  EXPECT_EQ(info, nullptr);
}

}  // namespace
}  // namespace agendia::testing
