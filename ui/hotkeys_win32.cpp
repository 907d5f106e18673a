#include <windows.h>

#include <deque>

#include "ui/controls_win32.h"
#include "ui/hotkeys.h"
#include "ui/main_window_win32.h"
#include "ui/theme.h"

namespace {

constexpr int kMenuHotkeyId = 1;
constexpr int kKeyNameChars = 128;

constexpr wchar_t kCaptureClass[] = L"VantrelHotkeyCapture";
constexpr wchar_t kCaptureTitle[] = L"Set Hotkey";
constexpr wchar_t kCapturePrompt[] = L"Press one Key for Hotkey | ESC for abort";
constexpr int kCaptureWidth = 250;
constexpr int kCaptureHeight = 40;
constexpr int kPromptId = 48;
// Across the whole client area rather than inset by 10 on each side: in the
// system's message font the prompt needs more than 230 pixels.
constexpr RECT kPromptBounds = {0, 10, kCaptureWidth, 10 + 20};
// No system menu and so no close box: only a key or Esc ends the capture.
constexpr DWORD kCaptureStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kCaptureExStyle = WS_EX_TOOLWINDOW;

HKL previousLayout = nullptr;

HWND captureWindow = nullptr;
HBRUSH captureBackground = nullptr;  // dark mode only
HFONT promptFont = nullptr;
std::deque<int> capturedKeys;
bool captureClosed = false;

LRESULT CALLBACK CaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      capturedKeys.push_back(static_cast<int>(wParam));
      return 0;
    case WM_CLOSE:
      // Alt+F4 or a close request from outside: the same as Esc.
      captureClosed = true;
      return 0;
    case WM_ERASEBKGND:
      if (!captureBackground) break;
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, captureBackground);
      return 1;
    case WM_CTLCOLORSTATIC:
      if (!captureBackground) break;
      SetTextColor(reinterpret_cast<HDC>(wParam), kDarkText);
      SetBkColor(reinterpret_cast<HDC>(wParam), WindowBackground());
      return reinterpret_cast<LRESULT>(captureBackground);
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterCaptureClass(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = CaptureWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kCaptureClass;
  registered = RegisterClassExW(&windowClass) != 0;
  return registered;
}

// Laid out for 96 DPI and scaled like the main window, whose font the
// prompt uses; the frame is drawn at the DPI of the screen the main window
// is on.
HWND CreateCaptureWindow(HINSTANCE instance, HWND owner) {
  RECT frame{0, 0, Scaled(kCaptureWidth), Scaled(kCaptureHeight)};
  AdjustWindowRectExForDpi(&frame, kCaptureStyle, FALSE, kCaptureExStyle, GetDpiForWindow(owner));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return CreateWindowExW(kCaptureExStyle, kCaptureClass, kCaptureTitle, kCaptureStyle, left, top,
                         width, height, owner, nullptr, instance, nullptr);
}

// The font of the main window's controls: the system's message font at the
// window's DPI. The stock GUI font would not fit the prompt into its line.
HFONT CreatePromptFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                  LayoutDpi())) {
    return nullptr;
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void AddPrompt(HINSTANCE instance, HWND window) {
  HWND prompt = CreateWindowExW(
      0, L"STATIC", kCapturePrompt, WS_CHILD | WS_VISIBLE | SS_CENTER, Scaled(kPromptBounds.left),
      Scaled(kPromptBounds.top), Scaled(kPromptBounds.right - kPromptBounds.left),
      Scaled(kPromptBounds.bottom - kPromptBounds.top), window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPromptId)), instance, nullptr);
  SendMessageW(prompt, WM_SETFONT, reinterpret_cast<WPARAM>(promptFont), FALSE);
}

}  // namespace

void UnregisterMainWindowHotkey() { UnregisterHotKey(MainWindowHandle(), kMenuHotkeyId); }

bool RegisterMainWindowHotkey(unsigned modifiers, int virtualKey) {
  return RegisterHotKey(MainWindowHandle(), kMenuHotkeyId, modifiers,
                        static_cast<UINT>(virtualKey)) != FALSE;
}

void BeginKeyNameLookup() {
  previousLayout = ActivateKeyboardLayout(GetKeyboardLayout(0), KLF_SETFORPROCESS);
}

void EndKeyNameLookup() {
  // The layout was only activated, not loaded, here: unloading it would take
  // the user's layout away from the program's windows.
  if (previousLayout) ActivateKeyboardLayout(previousLayout, KLF_SETFORPROCESS);
  previousLayout = nullptr;
}

unsigned KeyScanCode(int virtualKey) {
  return MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
}

std::wstring KeyNameText(std::int32_t keyData) {
  wchar_t name[kKeyNameChars] = {};
  const int length = GetKeyNameTextW(keyData, name, kKeyNameChars);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

bool OpenCaptureWindow() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND owner = MainWindowHandle();
  if (!RegisterCaptureClass(instance)) return false;
  captureWindow = CreateCaptureWindow(instance, owner);
  if (!captureWindow) return false;
  if (DarkModeOn()) captureBackground = CreateSolidBrush(WindowBackground());
  promptFont = CreatePromptFont();
  AddPrompt(instance, captureWindow);
  capturedKeys.clear();
  captureClosed = false;
  EnableWindow(owner, FALSE);
  ShowWindow(captureWindow, SW_SHOW);
  SetForegroundWindow(captureWindow);
  SetFocus(captureWindow);
  return true;
}

int NextCaptureKey() {
  MSG message{};
  while (capturedKeys.empty() && !captureClosed) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The quit request belongs to the main loop; leave it for it.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      return -1;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (captureClosed) return -1;
  const int key = capturedKeys.front();
  capturedKeys.pop_front();
  return key;
}

void CloseCaptureWindow() {
  HWND owner = MainWindowHandle();
  // Enabled before the capture window goes, so that Windows hands the
  // activation back to the main window instead of to another program.
  EnableWindow(owner, TRUE);
  DestroyWindow(captureWindow);
  captureWindow = nullptr;
  if (captureBackground) DeleteObject(captureBackground);
  captureBackground = nullptr;
  if (promptFont) DeleteObject(promptFont);
  promptFont = nullptr;
  SetActiveWindow(owner);
  SetFocus(owner);
}
