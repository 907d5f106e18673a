// The "Log Window" page: the read-only view of the event log. Windows only.
#pragma once

#include <windows.h>

// Builds the log view on `page` and shows the log so far.
bool BuildLogView(HWND page);

// Places the view and sets its font for the layout's DPI, after it changed.
void RescaleLogView();
