// The control that shows the event log. Workers never touch it: a growing
// log posts one message to the main window, whose thread appends the new
// text.
#pragma once

#include <windows.h>

inline constexpr UINT kLogGrewMessage = WM_APP + 1;

// Shows the log so far in `view`; later lines follow as they are logged.
void AttachLogView(HWND view);

// Appends to the view what it does not show yet; main thread only.
void ShowNewLogText();
