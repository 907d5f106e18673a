#include <windows.h>

#include <deque>

#include "base/product.h"
#include "base/shutdown.h"
#include "base/worker_slot.h"
#include "resources/icon_ids.h"
#include "ui/controls_win32.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/main_window_win32.h"
#include "ui/pages_win32.h"
#include "ui/theme.h"
#include "ui/tray.h"
#include "ui/tray_win32.h"

namespace {

// The updater and Windows' forced close send WM_CLOSE with this wParam: the
// program must end at once instead of treating it as a click on close.
constexpr WPARAM kQuitNowParam = 111;

HWND mainWindow = nullptr;
std::deque<LoopEvent> pendingEvents;

// Windows is ending the session or the updater wants the program gone: a
// headset worker still switching the device nodes gets its time to finish,
// but one that hangs must not keep the session from ending.
[[noreturn]] void QuitNow() {
  WaitForWorkerEnd(kWorkerEndWaitSeconds * 1000);
  ReleaseAndExit(0);
}

// A menu item chosen from the tray menu arrives as WM_COMMAND with no
// control handle and a notification code of 0.
bool IsMenuCommand(WPARAM wParam, LPARAM lParam) { return lParam == 0 && HIWORD(wParam) == 0; }

void PushEvent(int number, int item, int detail) {
  pendingEvents.push_back(LoopEvent{number, item, detail});
}

// The shell reports the mouse message on the icon; only the two clicks the
// tray answers become events, so pointer moves do not crowd the queue.
void PushTrayClick(LPARAM lParam) {
  const UINT mouseMessage = LOWORD(lParam);
  if (mouseMessage == WM_LBUTTONDBLCLK) PushEvent(kTrayEvent, 0, kTrayDoubleClick);
  if (mouseMessage == WM_RBUTTONUP) PushEvent(kTrayEvent, 0, kTrayRightClick);
}

// Themed static controls carry their text colour ("fgc") and background
// brush ("bgc") as window properties.
LRESULT ColorStatic(HWND window, HDC dc, HWND control) {
  HANDLE textColor = GetPropW(control, L"fgc");
  HANDLE background = GetPropW(control, L"bgc");
  const LRESULT standard = DefWindowProcW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(control));
  if (!textColor && !background) return standard;
  SetTextColor(dc, static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(textColor)));
  SetBkMode(dc, TRANSPARENT);
  return background ? reinterpret_cast<LRESULT>(background) : standard;
}

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Explorer announces a new taskbar (after a restart) by this broadcast.
  static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  if (message == taskbarCreated) {
    PushEvent(kTrayReAddEvent, 0, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_QUERYENDSESSION:
      QuitNow();
    case WM_CLOSE:
      if (wParam == kQuitNowParam) QuitNow();
      PushEvent(kCloseButtonEvent, 0, 0);
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColorStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kLogGrewMessage:
      ShowNewLogText();
      return 0;
    case kTrayCallbackMessage:
      PushTrayClick(lParam);
      return 0;
    case WM_COMMAND:
      if (LoopEvent control; ControlEventOf(message, wParam, lParam, control)) {
        pendingEvents.push_back(control);
        return 0;
      }
      if (!IsMenuCommand(wParam, lParam)) break;
      PushEvent(kMenuEvent, LOWORD(wParam), 0);
      return 0;
    case WM_VSCROLL:
      if (LoopEvent step; ControlEventOf(message, wParam, lParam, step)) {
        pendingEvents.push_back(step);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      FollowDpiChange(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_HOTKEY:
      OpenTrayMenu();
      break;
    case WM_LBUTTONDOWN:
      NoteLeftButtonHeld(true);
      break;
    case WM_LBUTTONUP:
      NoteLeftButtonHeld(false);
      break;
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
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(VANTREL_PROGRAM_ICON));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = MainWindowBackground();
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool CreateMainWindow(const std::wstring& title) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance)) return false;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  // Sized and centred once its DPI is known, by the content build.
  mainWindow =
      CreateWindowExW(0, kMainWindowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  return mainWindow != nullptr && BuildMainWindowContent(mainWindow);
}

HWND MainWindowHandle() { return mainWindow; }

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
