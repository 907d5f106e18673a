// The main loop's deadlines and requests that other rooms write: the
// sequences open confirmation windows and the restart, the update check sets
// when its label comes back, the status monitor its next poll.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/confirmation_window.h"

// The headset restart deadline while a restart waits for its stop to end.
inline constexpr std::int64_t kHeadsetRestartMarker = -2;

// The headset worker sets some of these while the loop reads them, hence
// the atomics.
struct LoopState {
  std::int64_t now = 0;
  bool exitRequest = false;
  // When the loop ends even though the worker still runs; -1 none yet.
  std::int64_t exitDeadline = -1;
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
