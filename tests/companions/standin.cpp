// Stand-in for a companion program in the process tests: owns one hidden
// top-level window titled with its command line (or a default title) and
// runs until that window gets WM_CLOSE, exiting with the message's wParam,
// or until it is terminated.
//
// With the command line "/program-class TITLE" the window has the program's
// own main window class instead of the stand-in's.
//
// With the command line "/churn" it instead keeps creating and destroying
// top-level windows until it is terminated, so that window searches of other
// processes meet windows that vanish under them.
#include <windows.h>

#include <cwchar>

#include "base/product.h"

namespace {

constexpr wchar_t kStandInClass[] = L"VantrelTestStandIn";
constexpr wchar_t kProgramClassOption[] = L"/program-class ";
const wchar_t* className = kStandInClass;

LRESULT CALLBACK StandInWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // The exit code tells the test which wParam arrived.
    PostQuitMessage(static_cast<int>(wParam));
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHiddenWindow(HINSTANCE instance, const wchar_t* title) {
  return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         320, 200, nullptr, nullptr, instance, nullptr);
}

[[noreturn]] void Churn(HINSTANCE instance) {
  HWND ring[16] = {};
  for (unsigned turn = 0;; ++turn) {
    HWND& slot = ring[turn % 16];
    if (slot != nullptr) DestroyWindow(slot);
    slot = CreateHiddenWindow(instance, L"churn");
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const size_t optionLength = std::wcslen(kProgramClassOption);
  if (commandLine != nullptr && std::wcsncmp(commandLine, kProgramClassOption, optionLength) == 0) {
    className = kMainWindowClass;
    commandLine += optionLength;
  }
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StandInWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  if (!RegisterClassW(&windowClass)) return 2;
  const bool titled = commandLine != nullptr && *commandLine != 0;
  if (titled && std::wcscmp(commandLine, L"/churn") == 0) Churn(instance);
  if (CreateHiddenWindow(instance, titled ? commandLine : L"Stand-in") == nullptr) return 3;
  MSG message;
  BOOL result;
  while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result < 0 ? 4 : static_cast<int>(message.wParam);
}
