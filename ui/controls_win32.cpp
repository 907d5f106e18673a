#include "ui/controls_win32.h"

#include <commctrl.h>

#include <map>

#include "ui/controls.h"
#include "ui/main_window_win32.h"
#include "ui/theme.h"

namespace {

std::map<int, HWND> controls;
std::map<int, HWND> spins;  // by the number of their field
UINT layoutDpi = USER_DEFAULT_SCREEN_DPI;

HWND SpinOf(int fieldId) {
  auto found = spins.find(fieldId);
  return found == spins.end() ? nullptr : found->second;
}

}  // namespace

void RememberControl(int id, HWND control) { controls[id] = control; }
void RememberSpin(int fieldId, HWND spin) { spins[fieldId] = spin; }

void RealignSpins() {
  const int width = GetSystemMetricsForDpi(SM_CXVSCROLL, LayoutDpi());
  for (const auto& [fieldId, spin] : spins) {
    HWND field = ControlWindow(fieldId);
    if (!field) continue;
    SetWindowPos(spin, nullptr, 0, 0, width, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Taking the buddy again makes the arrows take their place in it.
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
  }
}

HWND ControlWindow(int id) {
  auto found = controls.find(id);
  return found == controls.end() ? nullptr : found->second;
}

void SetLayoutDpi(UINT dpi) { layoutDpi = dpi ? dpi : USER_DEFAULT_SCREEN_DPI; }
UINT LayoutDpi() { return layoutDpi; }
int Scaled(int pixels) { return MulDiv(pixels, static_cast<int>(layoutDpi), 96); }

bool ControlEventOf(UINT message, WPARAM wParam, LPARAM lParam, LoopEvent& event) {
  if (lParam == 0) return false;
  HWND source = reinterpret_cast<HWND>(lParam);
  if (message == WM_COMMAND) {
    // Buttons report BN_CLICKED and clickable labels STN_CLICKED, both 0.
    if (HIWORD(wParam) != BN_CLICKED) return false;
    event = LoopEvent{kControlEvent, LOWORD(wParam), kControlClicked};
    return true;
  }
  // An up-down control reports each step once its position has changed.
  if (message == WM_VSCROLL && LOWORD(wParam) == SB_THUMBPOSITION) {
    event = LoopEvent{kControlEvent, GetDlgCtrlID(source) - kSpinIdOffset, kControlStepped};
    return true;
  }
  return false;
}

bool IsControlChecked(int id) {
  HWND control = ControlWindow(id);
  return control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetControlChecked(int id, bool checked) {
  if (HWND control = ControlWindow(id)) {
    SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void SetControlEnabled(int id, bool enabled) {
  if (id <= kLastLabelId) NoteLabelEnabledChanged();
  if (HWND control = ControlWindow(id)) EnableWindow(control, enabled);
  if (HWND spin = SpinOf(id)) EnableWindow(spin, enabled);
}

std::wstring ControlText(int id) {
  HWND control = ControlWindow(id);
  if (!control) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetControlText(int id, const std::wstring& text) {
  if (HWND control = ControlWindow(id)) SetWindowTextW(control, text.c_str());
}

int ControlNumber(int id) {
  HWND spin = SpinOf(id);
  return spin ? static_cast<int>(SendMessageW(spin, UDM_GETPOS32, 0, 0)) : 0;
}

void SetControlNumber(int id, int number) {
  if (HWND spin = SpinOf(id)) SendMessageW(spin, UDM_SETPOS32, 0, number);
}

void DropControlFocus() {
  if (HWND window = MainWindowHandle()) SetFocus(window);
}
