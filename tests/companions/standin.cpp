// Stand-in for a companion program in the process tests: owns one hidden
// top-level window titled with its command line (or a default title) and
// runs until that window gets WM_CLOSE, exiting with the message's wParam,
// or until it is terminated.
#include <windows.h>

namespace {

LRESULT CALLBACK StandInWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // The exit code tells the test which wParam arrived.
    PostQuitMessage(static_cast<int>(wParam));
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StandInWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VantrelTestStandIn";
  if (!RegisterClassW(&windowClass)) return 2;
  const wchar_t* title = commandLine != nullptr && *commandLine != 0 ? commandLine : L"Stand-in";
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 3;
  MSG message;
  BOOL result;
  while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result < 0 ? 4 : static_cast<int>(message.wParam);
}
