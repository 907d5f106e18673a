// The "Log Window" page of the main window: the read-only view of the event
// log.
#pragma once

#include <windows.h>

// Builds the page and its log view on `mainWindow` and shows the log so far.
bool CreateLogPage(HWND mainWindow);
