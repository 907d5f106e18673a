// The inside of the main window: the sidebar and the four pages with every
// control. Windows only.
#pragma once

#include <windows.h>

// The main window's background for the mode in effect.
HBRUSH MainWindowBackground();

// Sizes and centres `window` for its DPI, builds the sidebar and the pages,
// sets every control, opens on the "Log Window" page and, in dark mode,
// colours it all. False when a part could not be created.
bool BuildMainWindowContent(HWND window);

// The window moved to a screen of another scale (WM_DPICHANGED): the
// layout, its fonts and the window's size follow `dpi`; the window goes to
// the place Windows suggests.
void FollowDpiChange(UINT dpi, const RECT& suggested);
