#include "ui/theme_win32.h"

#include <commctrl.h>
#include <richedit.h>

#include <map>

#include "base/system_libraries_win32.h"
#include "base/win32_handles.h"
#include "ui/controls.h"
#include "ui/controls_win32.h"
#include "ui/main_window_win32.h"

namespace {

constexpr wchar_t kTextColorProperty[] = L"fgc";
constexpr wchar_t kBackgroundProperty[] = L"bgc";

std::map<Color, HBRUSH> brushes;
std::map<int, Color> labelBackgrounds;

// GetCursorPos asks the server and the display driver for the position, so
// it is read only when the cursor can have done something to the labels:
// it reaches the program's windows only with a mouse message for them, and
// can leave them only from a position inside the main window.
POINT lastCursor{};
bool messagesSinceCursorRead = true;

void SetColorProperties(HWND control, Color text, Color background) {
  SetPropW(control, kTextColorProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(text)));
  SetPropW(control, kBackgroundProperty, SolidBrush(background));
}

bool HasClass(HWND control, const wchar_t* className) {
  wchar_t name[64] = L"";
  GetClassNameW(control, name, 64);
  return lstrcmpiW(name, className) == 0;
}

bool IsCheckBoxOrRadio(HWND control) {
  if (!HasClass(control, WC_BUTTONW)) return false;
  switch (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

void ColorRichText(HWND view, Color text, Color background) {
  SendMessageW(view, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(background));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = text;
  // Lines appended later take the format of the end of the text.
  SendMessageW(view, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SendMessageW(view, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

HBRUSH SolidBrush(Color color) {
  HBRUSH& brush = brushes[color];
  if (!brush) brush = CreateSolidBrush(color);
  return brush;
}

void SwitchOffVisualStyle(HWND control) {
  const UniqueModule uxtheme = LoadSystemLibrary(L"uxtheme.dll");
  if (!uxtheme) return;
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  auto setWindowTheme = reinterpret_cast<SetWindowThemeFunction>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme.Get(), "SetWindowTheme")));
  if (setWindowTheme) setWindowTheme(control, L"", L"");
}

void SetStaticColors(HWND control, Color text, Color background) {
  SetColorProperties(control, text, background);
  SwitchOffVisualStyle(control);
}

void ApplyDarkTheme() {
  for (int id = 0; id <= kLastLabelId; ++id) {
    HWND label = ControlWindow(id);
    if (!label) continue;
    SetPropW(label, kTextColorProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(kDarkText)));
    SetLabelBackground(id, LabelColors().normal);
  }
  // The pages and their controls are numbered without a gap from 10 on.
  for (int id = kPageStartup;; ++id) {
    HWND control = ControlWindow(id);
    if (!control) break;
    if (IsCheckBoxOrRadio(control)) {
      SetStaticColors(control, kDarkText, kDarkControlBackground);
    } else if (HasClass(control, MSFTEDIT_CLASS)) {
      ColorRichText(control, kDarkText, kDarkRichTextBackground);
    } else {
      SetColorProperties(control, kDarkText, kDarkControlBackground);
    }
    InvalidateRect(control, nullptr, TRUE);
  }
}

void NoteWindowMessagesTaken() { messagesSinceCursorRead = true; }

HoverView ReadHoverView() {
  HoverView view;
  HWND window = MainWindowHandle();
  RECT bounds{};
  if (window && GetWindowRect(window, &bounds)) {
    view.windowLeft = bounds.left;
    view.windowTop = bounds.top;
    view.windowRight = bounds.right;
    view.windowBottom = bounds.bottom;
  }
  view.windowShown = window && IsWindowVisible(window) && !IsIconic(window);
  // A hidden window has no label under the cursor, wherever it is.
  if (view.windowShown && (messagesSinceCursorRead || PtInRect(&bounds, lastCursor))) {
    GetCursorPos(&lastCursor);
    messagesSinceCursorRead = false;
  }
  view.cursorX = lastCursor.x;
  view.cursorY = lastCursor.y;
  return view;
}

bool ReadLabelSituation(int id, LabelSituation& situation) {
  HWND label = ControlWindow(id);
  if (!label || !HasClass(label, WC_STATICW)) return false;
  RECT bounds{};
  POINT cursor{};
  GetWindowRect(label, &bounds);
  GetCursorPos(&cursor);
  // A label on a hidden page is never under the mouse, whatever covers its
  // place on the screen.
  situation.underCursor = PtInRect(&bounds, cursor) && IsWindowVisible(label);
  situation.enabled = IsWindowEnabled(label) != FALSE;
  situation.selected = GetWindowLongPtrW(label, GWLP_USERDATA) != 0;
  return true;
}

Color LabelBackgroundOf(int id) {
  auto found = labelBackgrounds.find(id);
  return found == labelBackgrounds.end() ? 0 : found->second;
}

void SetLabelBackground(int id, Color color) {
  HWND label = ControlWindow(id);
  if (!label) return;
  labelBackgrounds[id] = color;
  SetPropW(label, kBackgroundProperty, SolidBrush(color));
  InvalidateRect(label, nullptr, TRUE);
}
