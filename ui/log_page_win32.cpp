#include "ui/log_page.h"

#include <richedit.h>

#include "app/win32_handles.h"
#include "ui/log_view.h"

namespace {

constexpr int kLogPageId = 33;
constexpr int kLogViewId = 34;
constexpr RECT kPageBounds = {150, 10, 150 + 440, 10 + 340};
constexpr int kLogFontPoints = 9;

// The rich-edit class RICHEDIT50W lives in msftedit.dll, which must stay
// loaded for as long as the control exists.
UniqueModule richEditLibrary;
HFONT logFont = nullptr;

HFONT CreateLogFont(HWND window) {
  HDC screen = GetDC(window);
  const int height = -MulDiv(kLogFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(window, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH,
                     L"Consolas");
}

HWND CreatePage(HWND mainWindow) {
  // A flat one-pixel border around the page, as on every page.
  return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPCHILDREN,
                         kPageBounds.left, kPageBounds.top, kPageBounds.right - kPageBounds.left,
                         kPageBounds.bottom - kPageBounds.top, mainWindow,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLogPageId)),
                         GetModuleHandleW(nullptr), nullptr);
}

HWND CreateLogView(HWND page) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                      ES_AUTOVSCROLL | ES_NOHIDESEL;
  return CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, 1, 1, 438, 338, page,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLogViewId)),
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

bool CreateLogPage(HWND mainWindow) {
  if (!richEditLibrary) richEditLibrary = UniqueModule(LoadLibraryW(L"msftedit.dll"));
  HWND page = CreatePage(mainWindow);
  if (!page) return false;
  HWND view = CreateLogView(page);
  if (!view) return false;
  if (!logFont) logFont = CreateLogFont(mainWindow);
  SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(logFont), FALSE);
  AttachLogView(view);
  return true;
}
