// The simulated notification area and tray menu, as the shell and the menu
// would show them.
#pragma once

#include <string>
#include <vector>

#include "ui/tray.h"

namespace sim {

struct SimTray {
  bool iconShown = false;
  bool shellRefuses = false;  // no taskbar: every add fails
  int image = -1;
  std::wstring tooltip;
  int adds = 0;
  int windowImage = -1;            // the main window's small icon; -1 none set
  std::vector<MenuItemLook> menu;  // display order
  int menuBuilds = 0;
  int menuOpens = 0;
};

const SimTray& Tray();
// The shell accepts icons again or, with `refuse`, turns every add down.
void RefuseTrayIcons(bool refuse);
// Explorer ended: the icon is gone without the program removing it.
void DropTrayIcon();
// The menu item `id`; a separator when there is none.
MenuItemLook TrayMenuItem(int id);

}  // namespace sim
