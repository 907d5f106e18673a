// What the main window's message handler and the tray share. Windows only.
#pragma once

#include <windows.h>

// The shell reports clicks on the tray icon with this message; lParam holds
// the mouse message.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 2;
// The icon's number towards the shell.
inline constexpr UINT kTrayIconId = 723;

// Makes icons of the three embedded tray images; false when one is missing.
bool LoadTrayImages();
// Image 0, 1 or 2; any other number gives image 0.
HICON TrayImageIcon(int image);
void DestroyTrayImages();
void DestroyTrayMenu();
