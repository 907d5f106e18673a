// The "Log Window" page: the read-only view of the event log. Windows only.
#pragma once

#include <windows.h>

// Builds the log view on `page` and shows the log so far.
bool BuildLogView(HWND page);
