// A configuration manager library that lacks one of the four entry points
// (here "CM_Disable_DevNode"): every device operation then fails without
// effect, enabling included.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win32_handles.h"
#include "headset/config_manager.h"

namespace {

constexpr wchar_t kNodesKey[] = L"Software\\VantrelTest\\DeviceNodes";
constexpr wchar_t kTestKey[] = L"Software\\VantrelTest";
constexpr wchar_t kNode[] = L"USB\\VID_045E&PID_0659&MI_04\\7&1A2B&0&0004";

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

DWORD NodeProblem() {
  DWORD value = 0;
  DWORD size = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, kNodesKey, kNode, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

TEST(PartialConfigManager, EveryDeviceOperationFailsWithoutEffect) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
  // Loaded first by its path, the partial library is the one that the
  // program's load by name then gets.
  UniqueModule partial(LoadLibraryW((OwnFolder() + L"partial_cfgmgr32\\cfgmgr32.dll").c_str()));
  ASSERT_TRUE(partial);
  ASSERT_EQ(GetProcAddress(partial.Get(), "CM_Disable_DevNode"), nullptr);
  const DWORD disabled = 22;
  RegSetKeyValueW(HKEY_CURRENT_USER, kNodesKey, kNode, REG_DWORD, &disabled, sizeof(disabled));

  ASSERT_TRUE(LoadConfigManager());
  EXPECT_EQ(DeviceNodeStatus(kNode), kNodeMissing);
  SetDeviceNodeEnabled(kNode, kEnableNode);
  EXPECT_EQ(NodeProblem(), disabled);
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}

}  // namespace
