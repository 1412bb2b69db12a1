// The registration records of Calender and creating a class through them.

#include "component/registration.h"
#include "component/registry_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <agendia/activation.h>
#include <agendia/calender.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace agendia::testing {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class RegistrationTest : public ::testing::Test {
 protected:
  fs::path ClassFile() const { return root.path() / "CLSID" / "{9743C9BA-1A0D-4FB9-9C91-565902349C19}"; }
  fs::path ProgIdFile() const { return root.path() / "ProgID" / "AgendiaVB.Calender"; }
  fs::path TypeLibFile() const { return root.path() / "TypeLib" / "{EE2600D7-6355-480D-B19E-FE11CEB7E268}"; }

  TempDir root;
};

TEST_F(RegistrationTest, RegisterWritesTheClassTheProgIdAndTheTypeLibrary) {
  ASSERT_TRUE(component::RegisterCalender(root.str(), "/opt/agendia/libagendia.so").ok());
  EXPECT_EQ(FileText(ClassFile()),
            "Class=Calender\n"
            "ProgID=AgendiaVB.Calender\n"
            "InprocServer32=/opt/agendia/libagendia.so\n"
            "ThreadingModel=Apartment\n"
            "TypeLib={EE2600D7-6355-480D-B19E-FE11CEB7E268}\n"
            "Version=1.0\n");
  EXPECT_EQ(FileText(ProgIdFile()),
            "Class=Calender\n"
            "CLSID={9743C9BA-1A0D-4FB9-9C91-565902349C19}\n");
  EXPECT_EQ(FileText(TypeLibFile()),
            "Name=AgendiaVB\n"
            "Version=1.0\n"
            "LCID=409\n"
            "Path=/opt/agendia/libagendia.so\n");
}

TEST_F(RegistrationTest, RegisteringAgainReplacesTheServerAndLeavesNoOtherFiles) {
  ASSERT_TRUE(component::RegisterCalender(root.str(), "/old/libagendia.so").ok());
  ASSERT_TRUE(component::RegisterCalender(root.str(), "/new/libagendia.so").ok());
  EXPECT_NE(FileText(ClassFile()).find("InprocServer32=/new/libagendia.so\n"), std::string::npos);
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 3);
}

TEST_F(RegistrationTest, UnregisterRemovesExactlyTheThreeRecords) {
  ASSERT_TRUE(registry::WriteRecord(root.str(), "CLSID", "{00000000-0000-0000-0000-000000000001}",
                                    {{"Class", "Other"}}).ok());
  ASSERT_TRUE(component::RegisterCalender(root.str(), "/opt/libagendia.so").ok());
  ASSERT_TRUE(component::UnregisterCalender(root.str()).ok());
  EXPECT_FALSE(fs::exists(ClassFile()));
  EXPECT_FALSE(fs::exists(ProgIdFile()));
  EXPECT_FALSE(fs::exists(TypeLibFile()));
  EXPECT_TRUE(fs::exists(root.path() / "CLSID" / "{00000000-0000-0000-0000-000000000001}"));
  // Nothing left to remove is no failure.
  EXPECT_TRUE(component::UnregisterCalender(root.str()).ok());
}

TEST_F(RegistrationTest, UnregisterLeavesAProgIdThatNowNamesAnotherClass) {
  ASSERT_TRUE(component::RegisterCalender(root.str(), "/opt/libagendia.so").ok());
  ASSERT_TRUE(registry::WriteRecord(root.str(), "ProgID", "AgendiaVB.Calender",
                                    {{"CLSID", "{00000000-0000-0000-0000-000000000001}"}}).ok());
  ASSERT_TRUE(component::UnregisterCalender(root.str()).ok());
  EXPECT_TRUE(fs::exists(ProgIdFile()));
  EXPECT_FALSE(fs::exists(ClassFile()));
}

TEST_F(RegistrationTest, ARegistryThatCannotBeWrittenFailsWithSelfRegNamingThePlace) {
  // A file where the registry folder should be.
  const fs::path blocked = root.path() / "blocked";
  std::ofstream(blocked) << "not a folder";
  Status status = component::RegisterCalender(blocked.string(), "/opt/libagendia.so");
  EXPECT_EQ(status.code(), hr::kSelfRegClass);
  EXPECT_NE(status.description().find(blocked.string()), std::string::npos) << status.description();
}

TEST_F(RegistrationTest, RecordKeysNeverLeaveTheirHive) {
  for (const char* key : {"", ".", "..", "../ProgID", "a/b", "line\nbreak"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(registry::WriteRecord(root.str(), "ProgID", key, {{"CLSID", "x"}}).code(),
              hr::kInvalidArg);
    EXPECT_EQ(registry::ReadRecord(root.str(), "ProgID", key).status().code(), hr::kInvalidArg);
  }
  EXPECT_TRUE(fs::is_empty(root.path()));
}

TEST_F(RegistrationTest, ValuesWithLineBreaksAreRefusedRatherThanSplitIntoTwoValues) {
  EXPECT_EQ(registry::WriteRecord(root.str(), "CLSID", "k", {{"InprocServer32", "a\nThreadingModel=Free"}})
                .code(),
            hr::kInvalidArg);
  EXPECT_FALSE(fs::exists(root.path() / "CLSID" / "k"));
}

TEST_F(RegistrationTest, TheDefaultRootFollowsTheUsersConfigurationFolder) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", "/tmp/agendia-config", 1);
  EXPECT_EQ(DefaultRegistryRoot(), "/tmp/agendia-config/agendia/registry");
  setenv("XDG_CONFIG_HOME", "", 1);
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(DefaultRegistryRoot(), std::string(home) + "/.config/agendia/registry");
  }
  if (saved) {
    setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

TEST_F(RegistrationTest, AnUnregisteredProgIdIsAnInvalidClassString) {
  StatusOr<ComPtr<IDispatch>> object = CreateObjectByProgID("AgendiaVB.Calender", root.str());
  EXPECT_EQ(object.status().code(), hr::kInvalidClassString);
  EXPECT_NE(object.status().description().find("AgendiaVB.Calender"), std::string::npos);
}

TEST_F(RegistrationTest, AProgIdWhoseClassIsNotRegisteredIsClassNotRegistered) {
  ASSERT_TRUE(registry::WriteRecord(root.str(), "ProgID", "AgendiaVB.Calender",
                                    {{"CLSID", clsid::kCalender.ToString()}}).ok());
  StatusOr<ComPtr<IDispatch>> object = CreateObjectByProgID("AgendiaVB.Calender", root.str());
  EXPECT_EQ(object.status().code(), hr::kClassNotRegistered);
  EXPECT_NE(object.status().description().find(clsid::kCalender.ToString()), std::string::npos);
}

TEST_F(RegistrationTest, AServerThatCannotBeLoadedIsReportedWithItsPath) {
  const std::string missing = (root.path() / "libmissing.so").string();
  ASSERT_TRUE(component::RegisterCalender(root.str(), missing).ok());
  StatusOr<ComPtr<IDispatch>> object = CreateObjectByProgID("AgendiaVB.Calender", root.str());
  EXPECT_EQ(object.status().code(), hr::kFileNotFound);
  EXPECT_NE(object.status().description().find(missing), std::string::npos)
      << object.status().description();
}

}  // namespace
}  // namespace agendia::testing
