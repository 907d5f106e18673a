// What the main window's controls do: their states when the window is built
// and the handler the main loop runs for each control event.
#pragma once

// Sets every control from the settings, the registry tweaks and the system
// once, right after the pages are built.
void SetInitialControlStates();

// A control event from the main window: `id` is the control, `type` a
// ControlEventType. Events a control does not answer are ignored.
void DispatchControlEvent(int id, int type);
