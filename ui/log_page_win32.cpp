#include "ui/log_page.h"

#include <richedit.h>

#include "base/system_libraries_win32.h"
#include "base/win32_handles.h"
#include "ui/controls.h"
#include "ui/controls_win32.h"
#include "ui/log_view.h"
#include "ui/theme_win32.h"

namespace {

constexpr int kLogFontPoints = 9;

// The rich-edit class RICHEDIT50W lives in msftedit.dll, which must stay
// loaded for as long as the control exists.
UniqueModule richEditLibrary;
HFONT logFont = nullptr;

HFONT CreateLogFont() {
  const int height = -MulDiv(kLogFontPoints, static_cast<int>(LayoutDpi()), 72);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH,
                     L"Consolas");
}

HWND CreateLogView(HWND page) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                      ES_AUTOVSCROLL | ES_NOHIDESEL;
  return CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, 0, 0, 0, 0, page,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLogViewId)),
                         GetModuleHandleW(nullptr), nullptr);
}

// Inside the page's border, at the layout's DPI.
void PlaceAndFontLogView(HWND view) {
  SetWindowPos(view, nullptr, Scaled(1), Scaled(1), Scaled(438), Scaled(338),
               SWP_NOZORDER | SWP_NOACTIVATE);
  HFONT previous = logFont;
  logFont = CreateLogFont();
  SendMessageW(view, WM_SETFONT, reinterpret_cast<WPARAM>(logFont), TRUE);
  if (previous) DeleteObject(previous);
}

// Flat inside the page's own border: no visual style and no sunken edge.
void MakeFlat(HWND view) {
  SwitchOffVisualStyle(view);
  SetWindowLongPtrW(view, GWL_EXSTYLE, 0);
  SetWindowPos(view, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

bool BuildLogView(HWND page) {
  if (!richEditLibrary) richEditLibrary = LoadSystemLibrary(L"msftedit.dll");
  HWND view = CreateLogView(page);
  if (!view) return false;
  RememberControl(kLogViewId, view);
  MakeFlat(view);
  PlaceAndFontLogView(view);
  AttachLogView(view);
  return true;
}

void RescaleLogView() {
  if (HWND view = ControlWindow(kLogViewId)) PlaceAndFontLogView(view);
}
