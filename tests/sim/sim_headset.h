// The simulated machine's headset side: device nodes, the Portal's frame
// windows and the service control manager, as the program sees them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "companions/processes.h"
#include "companions/services.h"

namespace sim {

struct SimDeviceNode {
  bool present = true;   // plugged in
  unsigned problem = 0;  // 0 running, 22 disabled, anything else a fault
  bool enableFails = false;
  bool disableFails = false;
};

struct DeviceCall {
  std::wstring id;
  int operation;  // as given to SetDeviceNodeEnabled
  std::int64_t atMs;
};

struct SimDevices {
  std::map<std::wstring, SimDeviceNode> nodes;  // keyed by upper-cased ID
  std::int64_t reactionMs = 0;                  // until an enable or disable takes effect
  std::vector<DeviceCall> calls;
};

struct SimFrameWindow {
  WindowHandle handle;
  ProcessId owner;
  std::wstring className;
  std::wstring title;
  std::int64_t visibleFromMs;
  bool minimized = false;
  int minimizeRequests = 0;
};

struct SimService {
  int state = kServiceStopped;
  std::vector<std::wstring> dependents;  // in the order the manager lists them
  bool refusesStop = false;
  bool startFails = false;
};

struct ServiceRequest {
  std::wstring name;
  bool stop;
  std::int64_t atMs;
};

struct SimHandle {
  std::wstring service;  // empty for the manager itself
  std::uint32_t access;
};

struct SimServices {
  std::map<std::wstring, SimService> services;  // keyed by lower-cased name
  std::int64_t reactionMs = 0;                  // in a pending state for this long
  bool managerRefused = false;
  std::map<ServiceHandle, SimHandle> handles;
  ServiceHandle nextHandle = 0x500;
  std::vector<ServiceRequest> requests;
};

}  // namespace sim
