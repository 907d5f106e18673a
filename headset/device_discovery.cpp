#include "headset/device_discovery.h"

#include <atomic>
#include <mutex>

#include "base/clock.h"
#include "base/text.h"
#include "headset/config_manager.h"
#include "base/event_log.h"
#include "winsettings/registry.h"

namespace {

constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr wchar_t kSensorsPrefix[] = L"USB\\VID_045E&PID_0659&MI_03\\";
constexpr wchar_t kHeadsetPrefix[] = L"USB\\VID_045E&PID_0659&MI_04\\";
constexpr wchar_t kFriendlyName[] = L"FriendlyName";
constexpr wchar_t kSensorsName[] = L"HoloLens Sensors";
// Model names read like "Acme Virtual Reality Headset"; the tray shows "Acme".
constexpr const wchar_t* kRemovedWords[] = {L" Virtual", L" Reality", L" Headset"};
constexpr unsigned kPassPeriodMs = 2000;

std::atomic<std::uint8_t> discoveryState{kStateUnknown};
std::atomic<std::uint8_t> headsetState{kStateUnknown};

struct HeadsetTexts {
  std::wstring name;
  std::wstring sensorId;
  std::wstring headsetId;
};
std::mutex textLock;
HeadsetTexts texts;

HeadsetTexts CopyTexts() {
  std::lock_guard<std::mutex> guard(textLock);
  return texts;
}

void PublishIds(const std::wstring& sensorId, const std::wstring& headsetId) {
  std::lock_guard<std::mutex> guard(textLock);
  texts.sensorId = sensorId;
  texts.headsetId = headsetId;
}

void PublishName(const std::wstring& name) {
  std::lock_guard<std::mutex> guard(textLock);
  texts.name = name;
}

// The first instance below the interface's enumeration key whose node is
// plugged in (running or disabled); empty when there is none.
std::wstring FindPresentNode(const std::wstring& prefix) {
  const std::wstring key = kEnumKey + prefix;
  const int count = CountRegSubKeys(kHkeyLocalMachine, key, 0, nullptr);
  for (int index = 0; index < count; ++index) {
    const std::wstring instance = RegSubKeyName(kHkeyLocalMachine, key, index, 0, nullptr);
    if (instance.empty()) continue;
    const std::wstring id = prefix + instance;
    if (DeviceNodeStatus(id) != kNodeMissing) return id;
  }
  return {};
}

std::wstring FriendlyNameOf(const std::wstring& deviceId) {
  return ReadRegValue(kHkeyLocalMachine, kEnumKey + deviceId, kFriendlyName, 0, nullptr);
}

std::wstring DisplayName(std::wstring name) {
  for (const wchar_t* word : kRemovedWords) {
    const std::wstring removed(word);
    for (size_t at = name.find(removed); at != std::wstring::npos; at = name.find(removed, at)) {
      name.erase(at, removed.size());
    }
  }
  return name;
}

void LogOnChange(std::uint8_t previous, std::uint8_t next, const std::wstring& message,
                 int errorFlag) {
  if (previous != next) AddLogLine(message, errorFlag);
}

// Reads the names of a known pair of nodes: the new discovery state.
std::uint8_t ClassifyNames(const HeadsetTexts& ids, std::uint8_t previous) {
  if (FriendlyNameOf(ids.sensorId) != kSensorsName) {
    LogOnChange(previous, kDiscoveryNoSensorsName, L"Found no HoloLens Sensors Registry Entry", 1);
    return kDiscoveryNoSensorsName;
  }
  const std::wstring name = TrimSpaces(FriendlyNameOf(ids.headsetId));
  if (name.empty()) {
    PublishName(name);
    LogOnChange(previous, kDiscoveryNoHeadsetName,
                L"Found no WMR Headset Registry Entry\r>>>>>>>>> Try to repair", 1);
    return kDiscoveryNoHeadsetName;
  }
  PublishName(DisplayName(name));
  return kDiscoveryFound;
}

}  // namespace

std::uint8_t DiscoveryState() { return discoveryState; }
std::uint8_t HeadsetState() { return headsetState; }
std::wstring HeadsetName() { return CopyTexts().name; }
std::wstring SensorDeviceId() { return CopyTexts().sensorId; }
std::wstring HeadsetDeviceId() { return CopyTexts().headsetId; }

void RunDiscoveryPass() {
  const std::uint8_t previous = discoveryState;
  HeadsetTexts ids = CopyTexts();
  // An unplugged headset loses its sensors node first; both IDs are then
  // searched for again.
  if (!ids.sensorId.empty() && !ids.headsetId.empty() &&
      DeviceNodeStatus(ids.sensorId) == kNodeMissing) {
    ids.sensorId.clear();
    ids.headsetId.clear();
  }
  // A pass may catch the headset half plugged in, with only one of its two
  // nodes there yet: the other one is searched for on every later pass.
  if (ids.sensorId.empty()) ids.sensorId = FindPresentNode(kSensorsPrefix);
  if (ids.headsetId.empty()) ids.headsetId = FindPresentNode(kHeadsetPrefix);
  PublishIds(ids.sensorId, ids.headsetId);

  std::uint8_t next = kDiscoveryNoDevice;
  if (!ids.sensorId.empty() && !ids.headsetId.empty()) {
    next = ClassifyNames(ids, previous);
  } else {
    LogOnChange(previous, kDiscoveryNoDevice, L"Found no actual WMR Device in Registry", 1);
  }
  if (next == kDiscoveryFound) {
    const bool online = DeviceNodeStatus(ids.sensorId) == kNodeRunning &&
                        DeviceNodeStatus(ids.headsetId) == kNodeRunning;
    headsetState = online ? kHeadsetOnline : kHeadsetOffline;
  }
  discoveryState = next;
  // Logged once everything is published: whoever sees the line can use the
  // headset at once.
  if (next == kDiscoveryFound) LogOnChange(previous, next, HeadsetName() + L" found!", 0);
}

[[noreturn]] void RunDeviceSearch() {
  for (;;) {
    RunDiscoveryPass();
    SleepMs(kPassPeriodMs);
  }
}

void ResetDiscovery() {
  discoveryState = kStateUnknown;
  headsetState = kStateUnknown;
  PublishIds({}, {});
  PublishName({});
}
