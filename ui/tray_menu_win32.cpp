#include <windows.h>

#include <map>

#include "ui/main_window_win32.h"
#include "ui/tray.h"

namespace {

HMENU menu = nullptr;
// Items are addressed by position: the separators carry identifier 0 too,
// like the "Start WMR Headset" item.
std::map<int, UINT> positions;

}  // namespace

bool CreateTrayMenu(const std::vector<MenuItemLook>& entries) {
  menu = CreatePopupMenu();
  if (!menu) return false;
  UINT position = 0;
  for (const MenuItemLook& entry : entries) {
    if (entry.item == kMenuSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT state = entry.enabled ? MF_ENABLED : MF_GRAYED;
      AppendMenuW(menu, MF_STRING | state, entry.item, entry.text.c_str());
      positions[entry.item] = position;
    }
    ++position;
  }
  return true;
}

void OpenTrayMenu() {
  HWND owner = MainWindowHandle();
  if (!menu || !owner) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted message afterwards lets a second opening work.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

void EnableTrayMenuItem(int item, bool enabled) {
  auto found = positions.find(item);
  if (!menu || found == positions.end()) return;
  EnableMenuItem(menu, found->second, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetTrayMenuItem(const MenuItemLook& look) {
  auto found = positions.find(look.item);
  if (!menu || found == positions.end()) return;
  if (!look.text.empty()) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(look.text.c_str());
    SetMenuItemInfoW(menu, found->second, TRUE, &info);
  }
  EnableTrayMenuItem(look.item, look.enabled);
}

void DestroyTrayMenu() {
  if (menu) DestroyMenu(menu);
  menu = nullptr;
  positions.clear();
}
