#include <windows.h>

#include "headset/portal_window.h"

WindowHandle FindAppFrameWindow(const std::wstring& title) {
  return reinterpret_cast<WindowHandle>(FindWindowW(L"ApplicationFrameWindow", title.c_str()));
}

bool MinimizeWindow(WindowHandle window) {
  return ShowWindow(reinterpret_cast<HWND>(window), SW_MINIMIZE) != FALSE;
}
