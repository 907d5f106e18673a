// The main loop: one event per turn, then the time-driven steps, all timed
// by whole-second deadlines compared with the time read once per turn.
#pragma once

#include <atomic>
#include <cstdint>

#include "ui/loop_events.h"

// Tray menu items.
enum MenuItem : int {
  kMenuStartHeadset = 0,
  kMenuRestartHeadset = 1,
  kMenuStartSteamVR = 3,
  kMenuRestartSteamVR = 4,
  kMenuStartOculus = 5,
  kMenuRestartOculus = 6,
  kMenuWindowsWmrSettings = 7,
  kMenuOpenXrWmrSettings = 8,
  kMenuSteamVrWmrSettings = 9,
  kMenuShowAppWindow = 10,
  kMenuExit = 11,
};

// A start or stop that is confirmed within ten seconds, or reported failed.
struct ConfirmationWindow {
  std::atomic<std::int64_t> deadline{0};  // 0: none
  std::atomic<bool> steamVrPending{false};
  std::atomic<bool> oculusPending{false};
};

// The headset restart deadline while a restart waits for its stop to end.
inline constexpr std::int64_t kHeadsetRestartMarker = -2;

// The headset worker sets some of these while the loop reads them, hence
// the atomics.
struct LoopState {
  std::int64_t now = 0;
  bool exitRequest = false;
  ConfirmationWindow startConfirmation;
  ConfirmationWindow stopConfirmation;
  std::atomic<std::int64_t> headsetRestartDeadline{-1};  // -2: the restart marker
  std::int64_t steamVrRestartDeadline = -1;
  std::int64_t oculusRestartDeadline = -1;
  std::atomic<std::int64_t> nextStatusPoll{0};
  // A colour-distortion factor changed; the status poll saves the settings.
  bool colorChanged = false;
  // When the "Check for Update" label is enabled again after a check; -1 none.
  std::int64_t updateButtonEnableTime = -1;
};

LoopState& Loop();
void ResetLoopState();

// One turn: dispatch `event` (read after the wait), then the time-driven
// steps. True when the loop is to end.
bool RunLoopTurn(const LoopEvent& event);

// Starts the stop sequence as the headset worker (the slot must be free),
// with the tray's headset items and "Exit" disabled while it runs.
void StartHeadsetStop();

// Turns until the exit request is on and no headset worker runs.
void RunMainLoop();
