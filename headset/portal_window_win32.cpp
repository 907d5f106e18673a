#include <windows.h>

#include "headset/portal_window.h"

WindowHandle FindAppFrameWindow(const std::wstring& title) {
  return reinterpret_cast<WindowHandle>(FindWindowW(L"ApplicationFrameWindow", title.c_str()));
}

bool MinimizeWindow(WindowHandle window) {
  // ShowWindow on another process's window waits until that window's thread
  // has handled it: a Portal that hangs would hold the worker, and with it
  // the program's end, for ever. The asynchronous call only posts the
  // request.
  const HWND portal = reinterpret_cast<HWND>(window);
  if (!IsWindowVisible(portal)) return false;
  return ShowWindowAsync(portal, SW_MINIMIZE) != FALSE;
}
