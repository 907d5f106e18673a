#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/product.h"
#include "base/system_libraries_win32.h"
#include "base/win32_handles.h"
#include "updater/updater.h"
#include "updater/updater_system.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VantrelUpdater";
constexpr wchar_t kWindowTitle[] = L"Vantrel Updater";
constexpr int kClientWidth = 200;
constexpr int kClientHeight = 40;
constexpr int kTextId = 0;
constexpr DWORD kProgressStepMs = 500;

// Written by the main thread before the worker starts.
std::wstring programFolder;
bool mayProceed = false;
// Written by the worker, read by the main thread.
std::atomic<bool> done{false};

std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::vector<std::wstring> Parameters() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> parameters;
  for (int i = 1; arguments != nullptr && i < count; ++i) parameters.emplace_back(arguments[i]);
  LocalFree(arguments);
  return parameters;
}

DWORD WINAPI Worker(LPVOID) {
  RunUpdateWorker(programFolder, mayProceed);
  done = true;
  return 0;
}

LRESULT CALLBACK UpdaterCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The update must not be cut short: the window cannot be closed.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateProgressWindow(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = UpdaterCallback;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return nullptr;
  // A tool window: narrow title bar, no system menu and so no close box.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  const DWORD extendedStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = CreateWindowExW(extendedStyle, kWindowClass, kWindowTitle, style,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  HWND text = CreateWindowExW(
      0, L"STATIC", L"Updating Vantrel...", WS_CHILD | WS_VISIBLE, 30, 10, 180, 20, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
  // Without it a static control draws in the old bold system font.
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return window;
}

void DispatchWaitingMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!SearchSystemLibrariesOnly()) return 1;
  programFolder = OwnFolder();
  SetCurrentDirectoryW(WorkFolderOf(programFolder).c_str());
  mayProceed = UpdateMayProceed(Parameters(), programFolder);

  HWND window = CreateProgressWindow(instance);
  UniqueHandle worker(CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr));
  if (!worker) Worker(nullptr);
  for (int dots = 0; !done;) {
    DispatchWaitingMessages();
    SetDlgItemTextW(window, kTextId, ProgressText(dots).c_str());
    dots = NextProgressDots(dots);
    // Wakes at once when the worker has finished.
    WaitForSingleObject(worker.Get(), kProgressStepMs);
  }
  // The new program after an update, the old one after any failure: the
  // user is never left without it. Started from the program folder by its
  // full name, whatever the worker did with the current directory.
  StartProgramIn(programFolder, kProgramFileName);
  return 0;
}
