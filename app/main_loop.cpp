#include "app/main_loop.h"

#include <optional>

#include "base/clock.h"
#include "base/program_state.h"
#include "base/shell.h"
#include "base/worker_slot.h"
#include "companions/processes.h"
#include "companions/services.h"
#include "headset/device_discovery.h"
#include "headset/headset_sequences.h"
#include "headset/status_monitor.h"
#include "app/control_actions.h"
#include "ui/controls.h"
#include "base/event_log.h"
#include "ui/main_window.h"
#include "ui/theme.h"
#include "ui/tray.h"

namespace {

constexpr unsigned kEventWaitMs = 50;

constexpr wchar_t kRunSteamVR[] = L"steam://rungameid/250820";
// The restart command is offered only while SteamVR's own monitor runs,
// whatever process name the settings use to tell that SteamVR is up.
constexpr wchar_t kSteamVRMonitor[] = L"vrmonitor.exe";
constexpr wchar_t kWindowsWmrSettings[] = L"ms-settings:holographic";
constexpr wchar_t kWindowsWmrStorePage[] = L"ms-windows-store://pdp/?ProductId=9ng1h8b3zc7m";
constexpr wchar_t kOpenXrSettings[] =
    L"shell:AppsFolder\\Microsoft.MixedRealityRuntimeDeveloperPreview_8wekyb3d8bbwe!App";
constexpr wchar_t kOpenXrStorePage[] = L"ms-windows-store://pdp/?ProductId=9n5cvvl23qbt";
constexpr wchar_t kWmrDriverStorePage[] =
    L"steam://openurl/https://store.steampowered.com/app/719950/";

bool SteamVRRuns() { return FindProcessId(ProgramSettings().SteamVRProcessName) != 0; }

const std::wstring& OculusService() { return ProgramSettings().OculusServiceName; }
int OculusState() { return ServiceState(OculusService()); }

// Headset commands act only on a headset that was found and while no other
// start or stop runs.
bool HeadsetCommandAllowed() { return !WorkerRunning() && DiscoveryState() == kDiscoveryFound; }

void StartOrStopHeadset() {
  if (!HeadsetCommandAllowed()) return;
  const std::uint8_t headset = HeadsetState();
  if (headset == kHeadsetOffline) {
    StartWorker(HeadsetStart);
  } else if (headset == kHeadsetOnline) {
    StartHeadsetStop();
  }
}

// The marker goes only with the stop that turns it into a deadline: left
// waiting while a start runs, any later stop (the user's, or Steam's when
// it closes) would switch the headset back on.
void RestartHeadset() {
  if (!HeadsetCommandAllowed()) return;
  Loop().headsetRestartDeadline = kHeadsetRestartMarker;
  if (!StartHeadsetStop()) Loop().headsetRestartDeadline = -1;
}

void StartOrStopOculus() {
  if (OculusState() == kServiceStopped) {
    StartServiceByName(OculusService());
    AwaitConfirmation(Loop().startConfirmation, kOculusPending, Loop().now);
    return;
  }
  StopServiceWithDependents(OculusService());
  AwaitConfirmation(Loop().stopConfirmation, kOculusPending, Loop().now);
}

void RestartOculus() {
  if (OculusState() != kServiceRunning) return;
  Loop().oculusRestartDeadline = Loop().now + 1;
  StopServiceWithDependents(OculusService());
}

// Only a page that is not there is replaced by the other: after a refusal
// (no desktop shell answering) the other would be refused as well.
void OpenWithFallback(const std::wstring& target, const std::wstring& fallback) {
  if (OpenShellLink(target) == ShellOpen::kNothingToOpen) OpenShellLink(fallback);
}

void StartOrStopSteamVR() {
  if (!SteamVRRuns()) {
    OpenShellLink(kRunSteamVR);
    AwaitConfirmation(Loop().startConfirmation, kSteamVrPending, Loop().now);
    return;
  }
  TerminateProcessById(FindProcessId(ProgramSettings().SteamVRProcessName));
  AwaitConfirmation(Loop().stopConfirmation, kSteamVrPending, Loop().now);
}

void RestartSteamVR() {
  if (FindProcessId(kSteamVRMonitor) == 0) return;
  Loop().steamVrRestartDeadline = Loop().now + 1;
  TerminateProcessById(FindProcessId(ProgramSettings().SteamVRProcessName));
}

void DispatchMenu(int item) {
  switch (item) {
    case kMenuStartHeadset:
      StartOrStopHeadset();
      break;
    case kMenuRestartHeadset:
      RestartHeadset();
      break;
    case kMenuStartSteamVR:
      StartOrStopSteamVR();
      break;
    case kMenuRestartSteamVR:
      RestartSteamVR();
      break;
    case kMenuStartOculus:
      StartOrStopOculus();
      break;
    case kMenuRestartOculus:
      RestartOculus();
      break;
    case kMenuWindowsWmrSettings:
      OpenWithFallback(kWindowsWmrSettings, kWindowsWmrStorePage);
      break;
    case kMenuOpenXrWmrSettings:
      OpenWithFallback(kOpenXrSettings, kOpenXrStorePage);
      break;
    case kMenuSteamVrWmrSettings:
      OpenWithFallback(OpenVRSettingsPath(), kWmrDriverStorePage);
      break;
    case kMenuShowAppWindow:
      ShowMainWindow();
      break;
    case kMenuExit:
      Loop().exitRequest = true;
      break;
    default:
      break;
  }
}

void DispatchCloseButton() {
  if (ProgramSettings().CloseToTray) {
    HideMainWindowToTray();
  } else {
    Loop().exitRequest = true;
  }
}

void DispatchTrayClick(int click) {
  if (click == kTrayDoubleClick) ShowMainWindow();
  if (click == kTrayRightClick) OpenTrayMenu();
}

void Dispatch(const LoopEvent& event) {
  switch (event.number) {
    case kMenuEvent:
      DispatchMenu(event.item);
      break;
    case kCloseButtonEvent:
      DispatchCloseButton();
      break;
    case kControlEvent:
      DispatchControlEvent(event.item, event.detail);
      break;
    case kTrayEvent:
      DispatchTrayClick(event.detail);
      break;
    case kTrayReAddEvent:
      // The icon comes back red and the poll, due at once, gives it its
      // colour again.
      Loop().nextStatusPoll = 0;
      ReAddTrayIcon();
      break;
    default:
      break;
  }
}

// Both confirmation windows read one process list a turn, taken on the
// turn's first look for SteamVR: a turn with no window waiting for SteamVR
// takes no snapshot.
std::optional<ProcessList> turnProcesses;

bool SteamVRIs(bool running) {
  if (!turnProcesses) turnProcesses = TakeProcessList();
  const bool runs = FindInProcessList(*turnProcesses, ProgramSettings().SteamVRProcessName) != 0;
  return runs == running;
}
bool OculusServiceIs(bool running) {
  return OculusState() == (running ? kServiceRunning : kServiceStopped);
}

// One companion a confirmation window watches.
struct Confirmed {
  PendingCompanion bit;
  bool (*reached)(bool running);
  const wchar_t* done;
  const wchar_t* failed;
};

struct ConfirmationTexts {
  const wchar_t* steamVrDone;
  const wchar_t* steamVrFailed;
  const wchar_t* oculusDone;
  const wchar_t* oculusFailed;
};

// While the window is open, each turn looks whether SteamVR and the Oculus
// service reached the wanted state; once it has passed, what is still
// pending is reported failed. When the worker changed the window meanwhile
// nothing is replaced or reported: the next turn looks again.
void CheckConfirmation(ConfirmationWindow& window, bool wantRunning,
                       const ConfirmationTexts& texts) {
  const Confirmed companions[] = {
      {kSteamVrPending, SteamVRIs, texts.steamVrDone, texts.steamVrFailed},
      {kOculusPending, OculusServiceIs, texts.oculusDone, texts.oculusFailed}};
  const Confirmation saw = ReadConfirmation(window);
  if (saw.deadline < 1) return;
  const bool open = saw.deadline >= Loop().now;
  Confirmation next;
  if (open) {
    next = saw;
    for (const Confirmed& companion : companions) {
      if ((saw.pending & companion.bit) && companion.reached(wantRunning)) {
        next.pending &= ~companion.bit;
      }
    }
    if (next.pending == 0) next.deadline = 0;
  }
  if (next == saw || !ReplaceConfirmation(window, saw, next)) return;
  for (const Confirmed& companion : companions) {
    if (saw.pending & ~next.pending & companion.bit) {
      AddLogLine(open ? companion.done : companion.failed, open ? 0 : 1);
    }
  }
}

void RunHeadsetRestart() {
  const std::int64_t deadline = Loop().headsetRestartDeadline;
  if (deadline < 1 || Loop().now <= deadline) return;
  Loop().headsetRestartDeadline = -1;
  if (HeadsetCommandAllowed()) StartWorker(HeadsetStart);
  Loop().nextStatusPoll = 0;
}

// A restart starts the companion again once it has gone, looking again a
// second later while it lingers.
void RunDelayedRestart(std::int64_t& deadline, bool (*gone)(), void (*start)()) {
  if (deadline < 1 || Loop().now <= deadline) return;
  if (!gone()) {
    deadline = Loop().now + 1;
    return;
  }
  start();
  deadline = -1;
  Loop().nextStatusPoll = 0;
}

bool SteamVRGone() { return !SteamVRRuns(); }
void StartSteamVR() { OpenShellLink(kRunSteamVR); }
bool OculusStopped() { return OculusState() == kServiceStopped; }
void StartOculus() { StartServiceByName(OculusService()); }

// The icon vanishes when Explorer ends and is refused while there is no
// taskbar (at log-on). A poll is forced only once it is back: while the
// shell keeps refusing there is nothing to show it on.
void WatchTrayIcon() {
  if (!TrayIconExists() && AddTrayIcon()) Loop().nextStatusPoll = 0;
}

void RunStatusPoll() {
  if (Loop().now <= Loop().nextStatusPoll) return;
  Loop().nextStatusPoll = Loop().now + 2;
  const ProcessList processes = TakeProcessList();
  UpdateHeadsetStatus(processes);
  ApplySteamRule(processes);
  // The colour factors change on every arrow step; saving them here keeps
  // the settings file from being rewritten for each one.
  if (Loop().colorChanged) {
    SaveProgramSettings();
    Loop().colorChanged = false;
  }
}

// A finished update check leaves its label disabled for a few seconds.
void EnableUpdateButtonWhenDue() {
  if (Loop().updateButtonEnableTime < 0 || Loop().now <= Loop().updateButtonEnableTime) return;
  Loop().updateButtonEnableTime = -1;
  SetControlEnabled(kLabelCheckForUpdate, true);
}

// The exit waits for a running worker, but not for one that hangs (a
// device node or a companion that does not answer).
bool ReadyToEnd() {
  LoopState& state = Loop();
  if (!state.exitRequest) return false;
  if (!WorkerRunning()) return true;
  if (state.exitDeadline < 0) state.exitDeadline = state.now + kWorkerEndWaitSeconds;
  return state.now > state.exitDeadline;
}

}  // namespace

bool RunLoopTurn(const LoopEvent& event) {
  Loop().now = MonotonicSeconds();
  Dispatch(event);
  turnProcesses.reset();
  CheckConfirmation(Loop().startConfirmation, true,
                    {L"SteamVR started...", L"Can not start SteamVR", L"Oculus Service started...",
                     L"Can not start Oculus Service"});
  CheckConfirmation(Loop().stopConfirmation, false,
                    {L"SteamVR closed", L"Can not close SteamVR", L"Oculus Service stopped",
                     L"Can not stop Oculus Service"});
  RunHeadsetRestart();
  RunDelayedRestart(Loop().steamVrRestartDeadline, SteamVRGone, StartSteamVR);
  RunDelayedRestart(Loop().oculusRestartDeadline, OculusStopped, StartOculus);
  EnableUpdateButtonWhenDue();
  WatchTrayIcon();
  RunStatusPoll();
  UpdateHoverColors();
  return ReadyToEnd();
}

void RunMainLoop() {
  while (!RunLoopTurn(WaitForLoopEvent(kEventWaitMs))) {
  }
}
