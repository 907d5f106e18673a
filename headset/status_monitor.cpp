#include "headset/status_monitor.h"

#include "base/product.h"
#include "base/program_state.h"
#include "base/worker_slot.h"
#include "companions/processes.h"
#include "headset/headset_sequences.h"

namespace {

// The tray follows SteamVR's own monitor, whatever process name the
// settings use to tell that SteamVR is up.
constexpr wchar_t kSteamVRMonitor[] = L"vrmonitor.exe";
constexpr wchar_t kSteamProcess[] = L"steam.exe";

// On while the current run of Steam has been seen with "StartHMDwithSteam"
// on; the stop belongs only to a run whose start the rule handled.
bool steamSeen = false;

std::wstring HeadsetTooltip(const wchar_t* state, const std::wstring& name) {
  return std::wstring(kProductName) + state + L"\rHMD: " + name;
}

// Fills in the headset's look and items 0 and 1; false while the headset
// state is not known yet, which leaves all of it as it is.
bool DecideHeadsetPart(const StatusInputs& inputs, TrayStatus& status) {
  const std::uint8_t discovery = inputs.discoveryState;
  if (discovery == kDiscoveryFound && inputs.headsetState == kHeadsetOnline) {
    status.headset = {kTrayImageOnline, HeadsetTooltip(L" - Headset online", inputs.headsetName)};
    status.items.push_back({kMenuStartHeadset, L"Stop WMR headset", true});
    status.items.push_back({kMenuRestartHeadset, L"", true});
    return true;
  }
  if (discovery == kDiscoveryFound && inputs.headsetState == kHeadsetOffline) {
    status.headset = {kTrayImageOffline, HeadsetTooltip(L" - Headset offline", inputs.headsetName)};
    status.items.push_back({kMenuStartHeadset, L"Start WMR headset", true});
    status.items.push_back({kMenuRestartHeadset, L"", false});
    return true;
  }
  if (discovery != kDiscoveryFound && discovery != kStateUnknown) {
    status.headset = {kTrayImageNotFound, std::wstring(kProductName) + L" - Headset not found"};
    status.items.push_back({kMenuStartHeadset, L"", false});
    status.items.push_back({kMenuRestartHeadset, L"", false});
    return true;
  }
  return false;
}

bool HeadsetCanBeSwitched() { return !WorkerRunning() && DiscoveryState() == kDiscoveryFound; }

}  // namespace

TrayStatus DecideTrayStatus(const StatusInputs& inputs) {
  TrayStatus status;
  status.headsetKnown = DecideHeadsetPart(inputs, status);
  const bool steamVr = inputs.steamVrMonitorRuns;
  status.items.push_back({kMenuStartSteamVR, steamVr ? L"Stop SteamVR" : L"Start SteamVR", true});
  status.items.push_back({kMenuRestartSteamVR, L"", steamVr});
  if (inputs.oculusItemsExist) {
    const bool oculus = inputs.oculusServiceState == kServiceRunning;
    status.items.push_back(
        {kMenuStartOculus, oculus ? L"Stop Oculus Service" : L"Start Oculus Service", true});
    status.items.push_back({kMenuRestartOculus, L"", oculus});
  }
  status.oculusCheckBoxEnabled = inputs.oculusServiceState != kServiceUnknown;
  return status;
}

void UpdateHeadsetStatus(const ProcessList& processes) {
  StatusInputs inputs;
  inputs.discoveryState = DiscoveryState();
  inputs.headsetState = HeadsetState();
  inputs.headsetName = HeadsetName();
  inputs.steamVrMonitorRuns = FindInProcessList(processes, kSteamVRMonitor) != 0;
  inputs.oculusItemsExist = OculusItemsExist();
  inputs.oculusServiceState = ServiceState(ProgramSettings().OculusServiceName);
  ShowTrayStatus(DecideTrayStatus(inputs));
}

void ApplySteamRule(const ProcessList& processes) {
  const bool steamRuns = FindInProcessList(processes, kSteamProcess) != 0;
  const Settings& settings = ProgramSettings();
  if (steamRuns) {
    if (settings.StartHMDwithSteam != 1 || steamSeen) return;
    steamSeen = true;
    if (HeadsetCanBeSwitched()) StartWorker(HeadsetStart);
    return;
  }
  if (!steamSeen) return;
  // The run of Steam is over whether or not the headset follows it down, so
  // the next run of Steam starts the headset again.
  steamSeen = false;
  if (settings.StopHMDwithSteam == 1 && HeadsetCanBeSwitched()) StartHeadsetStop();
}

void ResetStatusMonitor() { steamSeen = false; }
