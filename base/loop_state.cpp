#include "base/loop_state.h"

namespace {

LoopState state;

}  // namespace

LoopState& Loop() { return state; }

void ResetLoopState() {
  state.now = 0;
  state.exitRequest = false;
  state.exitDeadline = -1;
  for (ConfirmationWindow* window : {&state.startConfirmation, &state.stopConfirmation}) {
    window->word = 0;
  }
  state.headsetRestartDeadline = -1;
  state.steamVrRestartDeadline = -1;
  state.oculusRestartDeadline = -1;
  state.nextStatusPoll = 0;
  state.colorChanged = false;
  state.updateButtonEnableTime = -1;
}
