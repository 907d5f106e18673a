#include <windows.h>

#include "app/shutdown.h"
#include "ui/main_window.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VantrelMainWindow";
constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 360;
// The updater and Windows' forced close send WM_CLOSE with this wParam: the
// program must end at once instead of treating it as a click on close.
constexpr WPARAM kQuitNowParam = 111;

HWND mainWindow = nullptr;

LRESULT CALLBACK MainWindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      ReleaseAndExit(0);
    case WM_CLOSE:
      if (wParam == kQuitNowParam) ReleaseAndExit(0);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
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
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
  mainWindow = CreateWindowExW(0, kWindowClass, title.c_str(), style, left, top, kWindowWidth,
                               kWindowHeight, nullptr, nullptr, instance, nullptr);
  return mainWindow != nullptr;
}

void ShowMainWindow() {
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  UpdateWindow(mainWindow);
}

void DestroyMainWindow() {
  if (mainWindow) DestroyWindow(mainWindow);
  mainWindow = nullptr;
}

void RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
