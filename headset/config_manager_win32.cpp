#include <windows.h>

#include <cfgmgr32.h>

#include <mutex>
#include <shared_mutex>

#include "base/system_libraries_win32.h"
#include "base/win32_handles.h"
#include "headset/config_manager.h"
#include "base/event_log.h"

namespace {

using LocateFunction = CONFIGRET(WINAPI*)(PDEVINST, DEVINSTID_W, ULONG);
using StatusFunction = CONFIGRET(WINAPI*)(PULONG, PULONG, DEVINST, ULONG);
using SwitchFunction = CONFIGRET(WINAPI*)(DEVINST, ULONG);

// CM_DISABLE_ABSOLUTE | CM_DISABLE_PERSIST: no other component is asked,
// and the node stays disabled across restarts of Windows.
constexpr ULONG kDisableFlags = CM_DISABLE_ABSOLUTE | CM_DISABLE_PERSIST;

struct ConfigManager {
  UniqueModule library;
  bool released = false;
  LocateFunction locate = nullptr;
  StatusFunction status = nullptr;
  SwitchFunction enable = nullptr;
  SwitchFunction disable = nullptr;

  bool Complete() const { return locate && status && enable && disable; }
};

// The device search thread may still ask for a status while the program
// releases the library at exit; the lock keeps it from calling into a
// library that is being unloaded.
std::shared_mutex lock;
ConfigManager manager;

template <typename Function>
Function EntryPoint(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(manager.library.Get(), name)));
}

bool LoadLocked() {
  if (manager.library) return true;
  if (manager.released) return false;
  manager.library = LoadSystemLibrary(L"cfgmgr32.dll");
  if (!manager.library) return false;
  AddLogLine(L"Opened CfgMgr32 API", 0);
  manager.locate = EntryPoint<LocateFunction>("CM_Locate_DevNodeW");
  manager.status = EntryPoint<StatusFunction>("CM_Get_DevNode_Status");
  manager.enable = EntryPoint<SwitchFunction>("CM_Enable_DevNode");
  manager.disable = EntryPoint<SwitchFunction>("CM_Disable_DevNode");
  return true;
}

// Loads on first use; the shared lock that the device operations then hold
// lets them run side by side.
std::shared_lock<std::shared_mutex> UsableManager() {
  {
    std::shared_lock<std::shared_mutex> reading(lock);
    if (manager.library) return reading;
  }
  {
    std::unique_lock<std::shared_mutex> loading(lock);
    LoadLocked();
  }
  return std::shared_lock<std::shared_mutex>(lock);
}

bool Locate(const std::wstring& deviceId, DEVINST& node) {
  if (!manager.library || !manager.Complete()) return false;
  return manager.locate(&node, const_cast<DEVINSTID_W>(deviceId.c_str()),
                        CM_LOCATE_DEVNODE_NORMAL) == CR_SUCCESS;
}

}  // namespace

bool LoadConfigManager() {
  std::unique_lock<std::shared_mutex> loading(lock);
  return LoadLocked();
}

void UnloadConfigManager() {
  std::unique_lock<std::shared_mutex> unloading(lock);
  manager = ConfigManager{};
  manager.released = true;
}

int DeviceNodeStatus(const std::wstring& deviceId) {
  const auto held = UsableManager();
  DEVINST node = 0;
  if (!Locate(deviceId, node)) return kNodeMissing;
  ULONG status = 0;
  ULONG problem = 0;
  if (manager.status(&status, &problem, node, 0) != CR_SUCCESS) return kNodeMissing;
  return NodeStatusFromProblem(problem);
}

void SetDeviceNodeEnabled(const std::wstring& deviceId, int operation) {
  const auto held = UsableManager();
  DEVINST node = 0;
  if (!Locate(deviceId, node)) return;
  if (operation == kDisableNode) {
    manager.disable(node, kDisableFlags);
  } else {
    manager.enable(node, 0);
  }
}
