#include "headset/headset_sequences.h"

#include <cstdint>
#include <string>

#include "base/clock.h"
#include "base/loop_state.h"
#include "base/program_state.h"
#include "base/shell.h"
#include "base/worker_slot.h"
#include "companions/processes.h"
#include "companions/services.h"
#include "headset/config_manager.h"
#include "headset/device_discovery.h"
#include "headset/portal_window.h"
#include "base/event_log.h"
#include "ui/tray.h"
#include "winsettings/registry.h"

namespace {

constexpr int kSwitchAttempts = 50;
constexpr unsigned kSwitchStepMs = 200;
// A node that is slow to switch off gets this many steps on the first
// attempt; each later attempt gets one more.
constexpr int kDisableWaitSteps = 10;
constexpr unsigned kSettleAfterDisableMs = 250;

constexpr const wchar_t* kPortalTitles[] = {L"Mixed Reality-Portal", L"Mixed Reality Portal"};
constexpr int kPortalSearchAttempts = 200;
constexpr unsigned kPortalSearchStepMs = 20;
constexpr unsigned kPortalSettleMs = 200;
constexpr int kMinimizeAttempts = 50;
constexpr unsigned kMinimizeStepMs = 20;
constexpr unsigned kCompanionStepMs = 500;
// A Portal that cannot be ended must not hold the worker, and with it
// every later start, stop and the program's exit, for ever.
constexpr unsigned kPortalExitCheckMs = 100;
constexpr int kPortalExitChecks = 100;

constexpr std::int64_t kStatusPollDelaySeconds = 2;
constexpr wchar_t kRunSteamVR[] = L"steam://rungameid/250820";
constexpr wchar_t kGameDvrKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\GameDVR";
constexpr wchar_t kHistoricalCapture[] = L"HistoricalCaptureEnabled";

bool EnableNode(const std::wstring& deviceId) {
  for (int attempt = 0; attempt < kSwitchAttempts; ++attempt) {
    SetDeviceNodeEnabled(deviceId, kEnableNode);
    SleepMs(kSwitchStepMs);
    if (DeviceNodeStatus(deviceId) == kNodeRunning) return true;
  }
  return false;
}

void DisableNode(const std::wstring& deviceId) {
  int waitSteps = 0;
  for (int attempt = 0; attempt < kSwitchAttempts; ++attempt) {
    SetDeviceNodeEnabled(deviceId, kDisableNode);
    while (DeviceNodeStatus(deviceId) == kNodeRunning) {
      ++waitSteps;
      SleepMs(kSwitchStepMs);
      if (waitSteps > kDisableWaitSteps) break;
    }
    if (DeviceNodeStatus(deviceId) != kNodeRunning) return;
  }
}

// The Portal opens its window some time after the headset comes up, under
// one of two titles depending on the Windows language.
WindowHandle WaitForPortalWindow() {
  for (int attempt = 0; attempt < kPortalSearchAttempts; ++attempt) {
    for (const wchar_t* title : kPortalTitles) {
      if (const WindowHandle window = FindAppFrameWindow(title)) return window;
    }
    SleepMs(kPortalSearchStepMs);
  }
  return 0;
}

// Minimising succeeds only once the window is visible.
void MinimizePortal(WindowHandle window) {
  for (int attempt = 0; attempt < kMinimizeAttempts; ++attempt) {
    if (MinimizeWindow(window)) return;
    SleepMs(kMinimizeStepMs);
  }
}

void EndPortal() {
  const std::wstring name = ProgramSettings().WMRPortalProcessName;
  TerminateProcessById(FindProcessId(name));
  for (int check = 0; FindProcessId(name) != 0; ++check) {
    if (check == kPortalExitChecks) {
      AddLogLine(L"Can not close the Mixed Reality Portal", 1);
      return;
    }
    SleepMs(kPortalExitCheckMs);
  }
}

void WriteBackgroundRecording(const wchar_t* value) {
  if (SharedFlag(&Settings::DisWinBGRecording) != 1) return;
  WriteRegValue(kHkeyCurrentUser, kGameDvrKey, kHistoricalCapture, value, kRegDword, 0, nullptr);
}

void StartCompanions() {
  const Settings& settings = ProgramSettings();
  ConfirmationWindow& confirmation = Loop().startConfirmation;
  if (SharedFlag(&Settings::AutoStartOculus) == 1 &&
      ServiceState(settings.OculusServiceName) != kServiceRunning) {
    StartServiceByName(settings.OculusServiceName);
    // The deadline goes with the flag: set later, the loop could close an
    // earlier window in between and take this start along as failed.
    AwaitConfirmation(confirmation, kOculusPending, MonotonicSeconds());
  }
  SleepMs(kCompanionStepMs);
  if (SharedFlag(&Settings::AutoStartSteamVR) == 1 &&
      FindProcessId(settings.SteamVRProcessName) == 0) {
    OpenShellLink(kRunSteamVR);
    AwaitConfirmation(confirmation, kSteamVrPending, MonotonicSeconds());
  }
}

void StopCompanions() {
  const Settings& settings = ProgramSettings();
  ConfirmationWindow& confirmation = Loop().stopConfirmation;
  if (SharedFlag(&Settings::AutoStartSteamVR) == 1) {
    if (const ProcessId steamVR = FindProcessId(settings.SteamVRProcessName)) {
      TerminateProcessById(steamVR);
      AwaitConfirmation(confirmation, kSteamVrPending, MonotonicSeconds());
    }
  }
  if (SharedFlag(&Settings::AutoStartOculus) == 1 &&
      ServiceState(settings.OculusServiceName) != kServiceStopped) {
    StopServiceWithDependents(settings.OculusServiceName);
    AwaitConfirmation(confirmation, kOculusPending, MonotonicSeconds());
  }
}

}  // namespace

void HeadsetStart() {
  if (DiscoveryState() == kDiscoveryFound) {
    // The headset interface comes first; the sensors follow only once it runs.
    if (EnableNode(HeadsetDeviceId())) {
      EnableNode(SensorDeviceId());
    } else {
      AddLogLine(L"Can not activate the headset device", 1);
    }
    Loop().nextStatusPoll = MonotonicSeconds() + kStatusPollDelaySeconds;
  }
  if (DeviceNodeStatus(SensorDeviceId()) == kNodeDisabled) {
    AddLogLine(L"Can not activate the Hololens Sensor device", 1);
  } else {
    AddLogLine(L"WMR headset is now online", 0);
  }
  WriteBackgroundRecording(L"0");

  const WindowHandle portal = WaitForPortalWindow();
  SleepMs(kPortalSettleMs);
  if (SharedFlag(&Settings::MinimizeWMPortal) == 1 && portal != 0) MinimizePortal(portal);
  SleepMs(kCompanionStepMs);
  StartCompanions();
}

void HeadsetStop() {
  StopCompanions();
  // The Portal is gone before any node is switched off.
  EndPortal();

  DisableNode(HeadsetDeviceId());
  SleepMs(kSettleAfterDisableMs);
  if (DeviceNodeStatus(HeadsetDeviceId()) == kNodeDisabled) {
    DisableNode(SensorDeviceId());
  } else {
    AddLogLine(L"Can not deactivate the headset device", 1);
  }
  if (DeviceNodeStatus(SensorDeviceId()) == kNodeRunning) {
    AddLogLine(L"Can not deactivate the Hololens Sensor device", 1);
  } else {
    AddLogLine(L"WMR headset is now offline", 0);
  }

  Loop().nextStatusPoll = 0;
  EnableTrayMenuItem(kMenuExit, true);
  // A restart waits for this stop. The loop starts the headset once its
  // whole-second time is past the deadline: one second on from now keeps
  // at least a full second between this stop and that start.
  std::int64_t marker = kHeadsetRestartMarker;
  Loop().headsetRestartDeadline.compare_exchange_strong(marker, MonotonicSeconds() + 1);
  WriteBackgroundRecording(L"1");
}

// While the stop runs the headset items and "Exit" stay disabled; the stop
// enables "Exit" again when it ends.
bool StartHeadsetStop() {
  for (int item : {kMenuStartHeadset, kMenuRestartHeadset, kMenuExit}) {
    EnableTrayMenuItem(item, false);
  }
  if (StartWorker(HeadsetStop)) return true;
  EnableTrayMenuItem(kMenuExit, true);
  return false;
}
