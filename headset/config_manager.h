// The only place where the program touches device nodes: the Windows
// configuration manager library ("cfgmgr32.dll"), loaded once at start-up and
// released at exit after the headset worker has finished.
#pragma once

#include <string>

// Loads the library on first use and logs "Opened CfgMgr32 API"; false when
// it cannot be loaded, which the program cannot work without. Once released
// it is not loaded again.
bool LoadConfigManager();
void UnloadConfigManager();

// DeviceNodeStatus results.
inline constexpr int kNodeRunning = 1;
inline constexpr int kNodeDisabled = 0;
inline constexpr int kNodeMissing = -1;  // not plugged in, or any other problem

// How a node that was located is classified by its problem number.
int NodeStatusFromProblem(unsigned problem);

// kNodeRunning, kNodeDisabled or kNodeMissing for a device instance ID;
// kNodeMissing too when the library or one of its entry points is missing.
int DeviceNodeStatus(const std::wstring& deviceId);

// SetDeviceNodeEnabled operations: kDisableNode disables, any other value
// enables. The outcome shows only in a later DeviceNodeStatus.
inline constexpr int kDisableNode = 1;
inline constexpr int kEnableNode = 0;
void SetDeviceNodeEnabled(const std::wstring& deviceId, int operation);
