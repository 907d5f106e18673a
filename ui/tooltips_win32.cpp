#include "ui/tooltips_win32.h"

#include <commctrl.h>

#include <map>

#include "ui/controls.h"
#include "ui/controls_win32.h"
#include "ui/main_window_win32.h"

namespace {

// Wide enough for every text; with a maximum width set at all, the tooltip
// breaks lines at carriage returns instead of drawing one long line.
constexpr LPARAM kMaxTipWidth = 1024;
constexpr WORD kShowDelayMs = 1000;

// Tooltip windows by the control they explain; they live until the end.
std::map<HWND, HWND> toolTips;
// The tooltip keeps a copy of the text it is given.
TTTOOLINFOW ToolOf(HWND control, std::wstring& text) {
  TTTOOLINFOW tool{};
  // The record as it was before its reserved last field, which every
  // version of the tooltip control accepts.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = control;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.hinst = GetModuleHandleW(nullptr);
  tool.lpszText = text.data();
  return tool;
}

}  // namespace

void AddToolTip(HWND window, HWND control, const std::wstring& text) {
  if (!control) return;
  HWND tip =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                      GetModuleHandleW(nullptr), nullptr);
  if (!tip) return;
  std::wstring copy = text;
  TTTOOLINFOW tool = ToolOf(control, copy);
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kShowDelayMs, 0));
  toolTips[control] = tip;
}

void SetControlToolTip(int id, const std::wstring& text) {
  HWND control = ControlWindow(id);
  HWND window = MainWindowHandle();
  if (!control || !window) return;
  auto found = toolTips.find(control);
  if (found == toolTips.end()) {
    AddToolTip(window, control, text);
    return;
  }
  std::wstring copy = text;
  TTTOOLINFOW tool = ToolOf(control, copy);
  SendMessageW(found->second, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}
