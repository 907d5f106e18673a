#include "app/main_loop.h"

#include "app/clock.h"
#include "app/program_state.h"
#include "app/shell.h"
#include "app/worker_slot.h"
#include "companions/processes.h"
#include "ui/event_log.h"
#include "ui/main_window.h"

namespace {

constexpr unsigned kEventWaitMs = 50;
constexpr std::int64_t kConfirmationSeconds = 10;

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

LoopState state;

bool SteamVRRuns() { return FindProcessId(ProgramSettings().SteamVRProcessName) != 0; }

void OpenWithFallback(const std::wstring& target, const std::wstring& fallback) {
  if (!OpenShellLink(target)) OpenShellLink(fallback);
}

void StartOrStopSteamVR() {
  if (!SteamVRRuns()) {
    OpenShellLink(kRunSteamVR);
    state.startConfirmation.deadline = state.now + kConfirmationSeconds;
    state.startConfirmation.steamVrPending = true;
    return;
  }
  TerminateProcessById(FindProcessId(ProgramSettings().SteamVRProcessName));
  state.stopConfirmation.deadline = state.now + kConfirmationSeconds;
  state.stopConfirmation.steamVrPending = true;
}

void RestartSteamVR() {
  if (FindProcessId(kSteamVRMonitor) == 0) return;
  state.steamVrRestartDeadline = state.now + 1;
  TerminateProcessById(FindProcessId(ProgramSettings().SteamVRProcessName));
}

void DispatchMenu(int item) {
  switch (item) {
    case kMenuStartSteamVR:
      StartOrStopSteamVR();
      break;
    case kMenuRestartSteamVR:
      RestartSteamVR();
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
      state.exitRequest = true;
      break;
    default:
      break;
  }
}

void DispatchCloseButton() {
  if (ProgramSettings().CloseToTray) {
    HideMainWindowToTray();
  } else {
    state.exitRequest = true;
  }
}

void Dispatch(const LoopEvent& event) {
  switch (event.number) {
    case kMenuEvent:
      DispatchMenu(event.item);
      break;
    case kCloseButtonEvent:
      DispatchCloseButton();
      break;
    default:
      break;
  }
}

struct ConfirmationTexts {
  const wchar_t* steamVrDone;
  const wchar_t* steamVrFailed;
};

// While the window is open, each turn looks whether SteamVR reached the
// wanted state; once it has passed, what is still pending is reported failed.
void CheckConfirmation(ConfirmationWindow& window, bool wantRunning,
                       const ConfirmationTexts& texts) {
  const std::int64_t deadline = window.deadline;
  if (deadline >= 1 && deadline >= state.now) {
    if (window.steamVrPending && SteamVRRuns() == wantRunning) {
      AddLogLine(texts.steamVrDone, 0);
      window.steamVrPending = false;
    }
    if (!window.steamVrPending && !window.oculusPending) window.deadline = 0;
  } else if (deadline > 0) {
    window.deadline = 0;
    if (window.steamVrPending.exchange(false)) AddLogLine(texts.steamVrFailed, 1);
  }
}

void RunSteamVRRestart() {
  if (state.steamVrRestartDeadline < 1 || state.now <= state.steamVrRestartDeadline) return;
  if (SteamVRRuns()) {
    state.steamVrRestartDeadline = state.now + 1;
    return;
  }
  OpenShellLink(kRunSteamVR);
  state.steamVrRestartDeadline = -1;
  state.nextStatusPoll = 0;
}

}  // namespace

LoopState& Loop() { return state; }

void ResetLoopState() {
  state.now = 0;
  state.exitRequest = false;
  for (ConfirmationWindow* window : {&state.startConfirmation, &state.stopConfirmation}) {
    window->deadline = 0;
    window->steamVrPending = false;
    window->oculusPending = false;
  }
  state.headsetRestartDeadline = -1;
  state.steamVrRestartDeadline = -1;
  state.oculusRestartDeadline = -1;
  state.nextStatusPoll = 0;
}

bool RunLoopTurn(const LoopEvent& event) {
  state.now = LocalTimeSeconds();
  Dispatch(event);
  CheckConfirmation(state.startConfirmation, true,
                    {L"SteamVR started...", L"Can not start SteamVR"});
  CheckConfirmation(state.stopConfirmation, false, {L"SteamVR closed", L"Can not close SteamVR"});
  RunSteamVRRestart();
  return state.exitRequest && !WorkerRunning();
}

void RunMainLoop() {
  while (!RunLoopTurn(WaitForLoopEvent(kEventWaitMs))) {
  }
}
