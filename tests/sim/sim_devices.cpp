#include <algorithm>

#include "base/text.h"
#include "headset/config_manager.h"
#include "headset/portal_window.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_registry.h"
#include "tests/sim/sim_state.h"

namespace {

constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr wchar_t kSensorsPrefix[] = L"USB\\VID_045E&PID_0659&MI_03\\";
constexpr wchar_t kHeadsetPrefix[] = L"USB\\VID_045E&PID_0659&MI_04\\";

sim::SimDevices& Devices() { return sim::State().devices; }

sim::SimDeviceNode* FindNode(const std::wstring& id) {
  auto found = Devices().nodes.find(ToUpperAscii(id));
  return found == Devices().nodes.end() ? nullptr : &found->second;
}

sim::SimDeviceNode& NodeOf(const std::wstring& id) { return Devices().nodes[ToUpperAscii(id)]; }

// Enabling clears only the "disabled" problem: a node with a driver fault
// stays faulty.
void Apply(const std::wstring& id, int operation) {
  sim::SimDeviceNode* node = FindNode(id);
  if (!node || !node->present) return;
  if (operation == kDisableNode) {
    if (!node->disableFails) node->problem = sim::kProblemDisabled;
  } else if (!node->enableFails && node->problem == sim::kProblemDisabled) {
    node->problem = 0;
  }
}

sim::SimFrameWindow* FindFrameWindow(WindowHandle window) {
  auto& windows = sim::State().frameWindows;
  auto found = std::find_if(windows.begin(), windows.end(),
                            [window](const sim::SimFrameWindow& w) { return w.handle == window; });
  return found == windows.end() ? nullptr : &*found;
}

bool Visible(const sim::SimFrameWindow& window) {
  return !window.minimized && sim::State().nowMs >= window.visibleFromMs;
}

void PutFriendlyName(const std::wstring& id, const std::wstring& name) {
  const std::wstring key = kEnumKey + id;
  sim::PutRegKey(kHkeyLocalMachine, key);
  if (!name.empty()) sim::PutRegString(kHkeyLocalMachine, key, L"FriendlyName", name);
}

}  // namespace

namespace sim {

void AddDeviceNode(const std::wstring& id, unsigned problem) {
  const MachineCall call;
  NodeOf(id) = SimDeviceNode{true, problem};
}

void SetDeviceNodePresent(const std::wstring& id, bool present) {
  const MachineCall call;
  NodeOf(id).present = present;
}

void SetDeviceNodeProblem(const std::wstring& id, unsigned problem) {
  const MachineCall call;
  NodeOf(id).problem = problem;
}

unsigned DeviceNodeProblem(const std::wstring& id) {
  const MachineCall call;
  return NodeOf(id).problem;
}

void FailDeviceNodeEnable(const std::wstring& id) { NodeOf(id).enableFails = true; }
void FailDeviceNodeDisable(const std::wstring& id) { NodeOf(id).disableFails = true; }
void SetDeviceReactionMs(std::int64_t milliseconds) { Devices().reactionMs = milliseconds; }
const std::vector<DeviceCall>& DeviceCalls() { return Devices().calls; }

HeadsetIds PlugInHeadset(const std::wstring& instance, const std::wstring& modelName,
                         unsigned problem, const std::wstring& sensorsName) {
  const HeadsetIds ids{kSensorsPrefix + instance, kHeadsetPrefix + instance};
  PutFriendlyName(ids.sensors, sensorsName);
  PutFriendlyName(ids.headset, modelName);
  AddDeviceNode(ids.sensors, problem);
  AddDeviceNode(ids.headset, problem);
  return ids;
}

void UnplugHeadset(const HeadsetIds& ids) {
  SetDeviceNodePresent(ids.sensors, false);
  SetDeviceNodePresent(ids.headset, false);
}

WindowHandle OpenFrameWindow(ProcessId owner, const std::wstring& className,
                             const std::wstring& title, std::int64_t visibleFromMs) {
  const WindowHandle handle = State().nextWindow++;
  State().frameWindows.push_back(SimFrameWindow{handle, owner, className, title, visibleFromMs});
  return handle;
}

bool FrameWindowMinimized(WindowHandle window) {
  const SimFrameWindow* found = FindFrameWindow(window);
  return found && found->minimized;
}

int MinimizeRequests(WindowHandle window) {
  const SimFrameWindow* found = FindFrameWindow(window);
  return found ? found->minimizeRequests : 0;
}

}  // namespace sim

int DeviceNodeStatus(const std::wstring& deviceId) {
  const sim::MachineCall call;
  ++sim::State().calls.deviceNodeCalls;
  const sim::SimDeviceNode* node = FindNode(deviceId);
  if (!node || !node->present) return kNodeMissing;
  return NodeStatusFromProblem(node->problem);
}

void SetDeviceNodeEnabled(const std::wstring& deviceId, int operation) {
  const sim::MachineCall call;
  ++sim::State().calls.deviceNodeCalls;
  const sim::SimDeviceNode* node = FindNode(deviceId);
  if (!node || !node->present) return;
  Devices().calls.push_back(sim::DeviceCall{deviceId, operation, sim::State().nowMs});
  if (Devices().reactionMs == 0) {
    Apply(deviceId, operation);
    return;
  }
  sim::At(sim::State().nowMs + Devices().reactionMs,
          [deviceId, operation] { Apply(deviceId, operation); });
}

WindowHandle FindAppFrameWindow(const std::wstring& title) {
  const sim::MachineCall call;
  for (const sim::SimFrameWindow& window : sim::State().frameWindows) {
    if (window.className == L"ApplicationFrameWindow" && window.title == title &&
        sim::IsRunning(window.owner)) {
      return window.handle;
    }
  }
  return 0;
}

bool MinimizeWindow(WindowHandle window) {
  const sim::MachineCall call;
  sim::SimFrameWindow* found = FindFrameWindow(window);
  if (!found || !sim::IsRunning(found->owner)) return false;
  ++found->minimizeRequests;
  if (!Visible(*found)) return false;
  found->minimized = true;
  return true;
}
