// The control that shows the event log. Workers never touch it: a growing
// log posts one message to the view's top-level window, whose thread then
// appends the new text.
#pragma once

#include <windows.h>

// Posted to the view's top-level window when the log has grown; its window
// procedure answers it with ShowNewLogText().
inline constexpr UINT kLogGrewMessage = WM_APP + 1;

// Shows the whole log so far in `view`, a rich-edit control; later lines
// follow as they are logged. Main thread only.
void AttachLogView(HWND view);

// Appends to the view what it does not show yet. Main thread only.
void ShowNewLogText();
