#include <windows.h>

#include <iterator>

#include "base/win32_handles.h"
#include "ui/main_window_win32.h"
#include "ui/theme.h"
#include "update/update_check.h"
#include "update/update_ui.h"

namespace {

constexpr wchar_t kDialogClass[] = L"VantrelChangeLog";
constexpr int kClientWidth = 700;
constexpr int kClientHeight = 400;
constexpr int kChangeLogTextId = 49;
constexpr unsigned kEventWaitMs = 50;

struct DialogLabel {
  int id;
  const wchar_t* text;
  int x;
  int result;
};
constexpr DialogLabel kLabels[] = {
    {7, L"Update", 130, kChangeLogUpdate},
    {8, L"Skip", 290, kChangeLogSkip},
    {9, L"Chancel", 450, kChangeLogCancel},
};
constexpr int kLabelCount = static_cast<int>(std::size(kLabels));

// The one open dialog; it runs on the main thread only.
struct Dialog {
  HWND window = nullptr;
  bool chosen = false;
  int result = kChangeLogCancel;
  Color labelColor[kLabelCount] = {};
  UniqueBrush windowBrush;
  UniqueBrush textBrush;
  UniqueBrush normalBrush;
  UniqueBrush hoverBrush;
  UniqueBrush selectedBrush;
  UniqueFont labelFont;
  UniqueFont textFont;
};
Dialog* dialog = nullptr;

int LabelIndex(int id) {
  for (int i = 0; i < kLabelCount; ++i) {
    if (kLabels[i].id == id) return i;
  }
  return -1;
}

HBRUSH BrushFor(Color color) {
  const ThemeColors& colors = LabelColors();
  if (color == colors.hover) return dialog->hoverBrush.Get();
  if (color == colors.selected) return dialog->selectedBrush.Get();
  return dialog->normalBrush.Get();
}

LRESULT ColorControl(HWND window, HDC dc, HWND control) {
  const int label = LabelIndex(GetDlgCtrlID(control));
  if (label >= 0) {
    SetTextColor(dc, DarkModeOn() ? kDarkText : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, dialog->labelColor[label]);
    return reinterpret_cast<LRESULT>(BrushFor(dialog->labelColor[label]));
  }
  if (DarkModeOn() && GetDlgCtrlID(control) == kChangeLogTextId) {
    SetTextColor(dc, kDarkText);
    SetBkColor(dc, kDarkRichTextBackground);
    return reinterpret_cast<LRESULT>(dialog->textBrush.Get());
  }
  return DefWindowProcW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control));
}

LRESULT CALLBACK DialogCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
      if (dialog == nullptr) break;
      return ColorControl(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND: {
      if (dialog == nullptr) break;
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, dialog->windowBrush.Get());
      return 1;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      NoteLeftButtonHeld(message == WM_LBUTTONDOWN);
      return 0;
    case WM_COMMAND: {
      const int label = LabelIndex(LOWORD(wParam));
      if (dialog != nullptr && label >= 0 && HIWORD(wParam) == STN_CLICKED) {
        dialog->result = kLabels[label].result;
        dialog->chosen = true;
      }
      return 0;
    }
    case WM_CLOSE:
      // The dialog ends only through one of its three labels.
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterDialogClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(instance, kDialogClass, &windowClass)) return true;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DialogCallback;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kDialogClass;
  return RegisterClassExW(&windowClass) != 0;
}

UniqueFont MakeFont(HWND window, int points, const wchar_t* face) {
  HDC dc = GetDC(window);
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(window, dc);
  return UniqueFont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, face));
}

// An edit control breaks lines only at CR LF; the server's file may use
// either half alone.
std::wstring WithWindowsLineBreaks(const std::wstring& text) {
  std::wstring result;
  result.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      result += L"\r\n";
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

HWND CreateDialogWindow(HINSTANCE instance, const std::wstring& title, HWND owner) {
  // A tool window: narrow title bar, no taskbar button, no system menu and
  // so no close box.
  const DWORD style = WS_POPUP | WS_CAPTION;
  const DWORD extendedStyle = WS_EX_TOOLWINDOW;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return CreateWindowExW(extendedStyle, kDialogClass, title.c_str(), style, left, top, width,
                         height, owner, nullptr, instance, nullptr);
}

void BuildControls(HINSTANCE instance, const std::wstring& changeLog) {
  HWND window = dialog->window;
  dialog->labelFont = MakeFont(window, 10, L"Arial");
  dialog->textFont = MakeFont(window, 9, L"Consolas");
  HWND text = CreateWindowExW(
      0, L"EDIT", WithWindowsLineBreaks(changeLog).c_str(),
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 10, 10, 680,
      340, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChangeLogTextId)), instance,
      nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->textFont.Get()), TRUE);
  for (int i = 0; i < kLabelCount; ++i) {
    dialog->labelColor[i] = LabelColors().normal;
    HWND label = CreateWindowExW(
        0, L"STATIC", kLabels[i].text,
        WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY, kLabels[i].x, 360, 120, 30,
        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabels[i].id)), instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->labelFont.Get()), TRUE);
  }
}

// The labels' hover, press and rest colours by the main window's rule; a
// label is repainted only when its colour changes.
void RecolorLabels() {
  POINT cursor{};
  GetCursorPos(&cursor);
  for (int i = 0; i < kLabelCount; ++i) {
    HWND label = GetDlgItem(dialog->window, kLabels[i].id);
    RECT area{};
    GetWindowRect(label, &area);
    LabelSituation situation;
    situation.underCursor = PtInRect(&area, cursor) != FALSE;
    situation.enabled = IsWindowEnabled(label) != FALSE;
    situation.buttonHeld = LeftButtonHeld();
    const Color wanted = LabelBackground(situation, LabelColors());
    if (wanted == dialog->labelColor[i]) continue;
    dialog->labelColor[i] = wanted;
    InvalidateRect(label, nullptr, TRUE);
  }
}

void RunDialogLoop() {
  while (!dialog->chosen) {
    MsgWaitForMultipleObjectsEx(0, nullptr, kEventWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message{};
    while (!dialog->chosen && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    RecolorLabels();
  }
}

int ShowDialog(const std::wstring& title, const std::wstring& changeLog, HWND owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterDialogClass(instance)) return kChangeLogCancel;
  Dialog state;
  const ThemeColors& colors = LabelColors();
  state.windowBrush = UniqueBrush(CreateSolidBrush(WindowBackground()));
  state.textBrush = UniqueBrush(CreateSolidBrush(kDarkRichTextBackground));
  state.normalBrush = UniqueBrush(CreateSolidBrush(colors.normal));
  state.hoverBrush = UniqueBrush(CreateSolidBrush(colors.hover));
  state.selectedBrush = UniqueBrush(CreateSolidBrush(colors.selected));
  dialog = &state;
  state.window = CreateDialogWindow(instance, title, owner);
  if (state.window == nullptr) {
    dialog = nullptr;
    return kChangeLogCancel;
  }
  BuildControls(instance, changeLog);
  ShowWindow(state.window, SW_SHOWNORMAL);
  SetForegroundWindow(state.window);
  RunDialogLoop();
  // Destroying the window destroys its controls with it.
  DestroyWindow(state.window);
  dialog = nullptr;
  return state.result;
}

}  // namespace

int RunChangeLogWindow(const std::wstring& title, const std::wstring& changeLog) {
  // Modal: the main window takes no input while the dialog is open.
  HWND mainWindow = MainWindowHandle();
  if (mainWindow != nullptr) EnableWindow(mainWindow, FALSE);
  const int result = ShowDialog(title, changeLog, mainWindow);
  if (mainWindow != nullptr) EnableWindow(mainWindow, TRUE);
  return result;
}

void ShowUpdateCheckMessage(const std::wstring& title, const std::wstring& text) {
  MessageBoxW(MainWindowHandle(), text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

void AnswerMessagesFor(unsigned timeoutMs) {
  MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
