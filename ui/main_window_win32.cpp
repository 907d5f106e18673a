#include <windows.h>

#include <deque>

#include "app/shutdown.h"
#include "app/worker_slot.h"
#include "ui/log_page.h"
#include "ui/log_view.h"
#include "ui/main_window.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VantrelMainWindow";
constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 360;
// The updater and Windows' forced close send WM_CLOSE with this wParam: the
// program must end at once instead of treating it as a click on close.
constexpr WPARAM kQuitNowParam = 111;

HWND mainWindow = nullptr;
std::deque<LoopEvent> pendingEvents;

// Windows is ending the session or the updater wants the program gone: a
// headset worker still switching the device nodes must finish first.
[[noreturn]] void QuitNow() {
  while (WorkerRunning()) Sleep(20);
  ReleaseAndExit(0);
}

// A menu item chosen from the tray menu arrives as WM_COMMAND with no
// control handle and a notification code of 0.
bool IsMenuCommand(WPARAM wParam, LPARAM lParam) { return lParam == 0 && HIWORD(wParam) == 0; }

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      QuitNow();
    case WM_CLOSE:
      if (wParam == kQuitNowParam) QuitNow();
      pendingEvents.push_back(LoopEvent{kCloseButtonEvent, 0, 0});
      return 0;
    case kLogGrewMessage:
      ShowNewLogText();
      return 0;
    case WM_COMMAND:
      if (!IsMenuCommand(wParam, lParam)) break;
      pendingEvents.push_back(LoopEvent{kMenuEvent, LOWORD(wParam), 0});
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MainWindowCallback;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool CreateMainWindow(const std::wstring& title) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance)) return false;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  // The pages are laid out on a 600 x 360 client area; the frame comes on top.
  RECT frame{0, 0, kWindowWidth, kWindowHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  mainWindow = CreateWindowExW(0, kWindowClass, title.c_str(), style, left, top, width, height,
                               nullptr, nullptr, instance, nullptr);
  return mainWindow != nullptr && CreateLogPage(mainWindow);
}

void ShowMainWindow() {
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  SetForegroundWindow(mainWindow);
}

void HideMainWindowToTray() {
  // Minimising first lets the shell animate the window towards the taskbar
  // before it disappears.
  ShowWindow(mainWindow, SW_MINIMIZE);
  Sleep(50);
  ShowWindow(mainWindow, SW_HIDE);
}

void DestroyMainWindow() {
  if (mainWindow) DestroyWindow(mainWindow);
  mainWindow = nullptr;
}

bool TakeWindowEvent(LoopEvent& event) {
  if (pendingEvents.empty()) return false;
  event = pendingEvents.front();
  pendingEvents.pop_front();
  return true;
}
