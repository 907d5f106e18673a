// The device operations over the real library-loading path, with the
// test-only configuration manager library (Wine's own cannot switch nodes)
// in the prefix's system32, the only folder the program loads it from. Its
// node states live in the prefix's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "headset/config_manager.h"
#include "base/event_log.h"

namespace {

constexpr wchar_t kNodesKey[] = L"Software\\VantrelTest\\DeviceNodes";
constexpr wchar_t kTestKey[] = L"Software\\VantrelTest";
constexpr wchar_t kNode[] = L"USB\\VID_045E&PID_0659&MI_03\\7&1A2B&0&0003";

void SetNode(DWORD problem) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kNodesKey, kNode, REG_DWORD, &problem, sizeof(problem));
}

DWORD NodeProblem() {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kNodesKey, kNode, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return 0xFFFF;
  }
  return value;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Built beside this program and copied to system32 once per process; a
// death test's child finds it in use by its parent, and already in place.
class SystemFolderStandIn : public ::testing::Environment {
 public:
  void SetUp() override {
    wchar_t own[MAX_PATH] = L"";
    wchar_t system[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring source = own;
    source = source.substr(0, source.find_last_of(L'\\') + 1) + L"cfgmgr32.dll";
    const std::wstring target = std::wstring(system) + L"\\cfgmgr32.dll";
    if (FileBytes(target) == FileBytes(source)) return;
    ASSERT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE));
  }
};
::testing::Environment* const standIn =
    ::testing::AddGlobalTestEnvironment(new SystemFolderStandIn);

class ConfigManager : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(LoadConfigManager());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(ConfigManager, LoadingIsLoggedOnce) {
  ASSERT_TRUE(LoadConfigManager());
  const std::wstring log = LogText();
  EXPECT_NE(log.find(L": Opened CfgMgr32 API\r"), std::wstring::npos);
  EXPECT_EQ(log.find(L"Opened CfgMgr32 API"), log.rfind(L"Opened CfgMgr32 API"));
}

TEST_F(ConfigManager, StatusTellsRunningDisabledAndEverythingElse) {
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeMissing);  // not plugged in
  SetNode(0);
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeRunning);
  SetNode(22);
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeDisabled);
  SetNode(10);  // a driver that failed to start
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeMissing);
}

TEST_F(ConfigManager, NodesAreDisabledAndEnabledAgain) {
  SetNode(0);
  SetDeviceNodeEnabled(kNode, kDisableNode);
  EXPECT_EQ(NodeProblem(), 22u);
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeDisabled);
  SetDeviceNodeEnabled(kNode, 7);  // anything but "disable" enables
  EXPECT_EQ(NodeProblem(), 0u);
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeRunning);
}

TEST_F(ConfigManager, UnknownNodeIsLeftAloneAndReportsNothing) {
  const size_t logLength = LogText().size();
  SetDeviceNodeEnabled(kNode, kDisableNode);
  SetDeviceNodeEnabled(kNode, kEnableNode);
  EXPECT_EQ(NodeProblem(), 0xFFFFu);
  EXPECT_EQ(LogText().size(), logLength);
}

// The release is for good, so it runs in a process of its own: the tests
// around it keep their library whatever order they run in.
bool ReleasedLibraryStaysReleased() {
  SetNode(0);
  UnloadConfigManager();
  const bool missing = DeviceNodeStatus(kNode) == kNodeMissing;
  SetDeviceNodeEnabled(kNode, kDisableNode);
  return missing && NodeProblem() == 0 && !LoadConfigManager();
}

TEST_F(ConfigManager, ReleasedLibraryIsNotLoadedAgain) {
  EXPECT_EXIT(std::exit(ReleasedLibraryStaysReleased() ? 0 : 1), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeRunning);
}

}  // namespace
