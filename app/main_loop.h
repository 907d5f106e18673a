// The main loop: one event per turn, then the time-driven steps, all timed
// by whole-second deadlines compared with the time read once per turn.
#pragma once

#include "base/loop_state.h"
#include "ui/loop_events.h"

// One turn: dispatch `event` (read after the wait), then the time-driven
// steps. True when the loop is to end.
bool RunLoopTurn(const LoopEvent& event);

// Waits up to `timeoutMs` for one window event; kNoEvent when none came.
LoopEvent WaitForLoopEvent(unsigned timeoutMs);

// Turns until the exit request is on and no headset worker runs, or the
// worker has had its 40 seconds.
void RunMainLoop();
