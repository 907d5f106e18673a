// The main window's handle, for the Windows side of the modules that show
// things in or through it. Windows only.
#pragma once

#include <windows.h>

// nullptr before the window exists and after it is destroyed.
HWND MainWindowHandle();
