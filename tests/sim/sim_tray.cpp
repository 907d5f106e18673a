#include "tests/sim/sim_tray.h"

#include <algorithm>

#include "tests/sim/sim_state.h"

namespace sim {

namespace {

MenuItemLook* FindItem(int id) {
  auto& menu = State().tray.menu;
  auto found = std::find_if(menu.begin(), menu.end(),
                            [id](const MenuItemLook& entry) { return entry.item == id; });
  return found == menu.end() ? nullptr : &*found;
}

}  // namespace

const SimTray& Tray() { return State().tray; }
void RefuseTrayIcons(bool refuse) { State().tray.shellRefuses = refuse; }
void DropTrayIcon() { State().tray.iconShown = false; }

MenuItemLook TrayMenuItem(int id) {
  const MenuItemLook* item = FindItem(id);
  return item ? *item : MenuItemLook{kMenuSeparator, L"", false};
}

}  // namespace sim

using sim::State;

bool AddTrayIcon() {
  const sim::MachineCall call;
  sim::SimTray& tray = State().tray;
  // Like the shell, a second add of the same icon fails.
  if (tray.shellRefuses || tray.iconShown) return false;
  tray.iconShown = true;
  tray.image = kTrayImageNotFound;
  tray.tooltip = kStartupTooltip;
  ++tray.adds;
  return true;
}

void RemoveTrayIcon() {
  const sim::MachineCall call;
  State().tray.iconShown = false;
}
bool TrayIconExists() {
  const sim::MachineCall call;
  return State().tray.iconShown;
}

void SetTrayIconLook(const HeadsetLook& look) {
  const sim::MachineCall call;
  sim::SimTray& tray = State().tray;
  if (!tray.iconShown) return;
  tray.image = look.image;
  tray.tooltip = look.tooltip;
}

void SetMainWindowImage(int image) {
  const sim::MachineCall call;
  State().tray.windowImage = image;
}

bool CreateTrayMenu(const std::vector<MenuItemLook>& entries) {
  const sim::MachineCall call;
  State().tray.menu = entries;
  ++State().tray.menuBuilds;
  return true;
}

void OpenTrayMenu() {
  const sim::MachineCall call;
  ++State().tray.menuOpens;
}

void SetTrayMenuItem(const MenuItemLook& look) {
  const sim::MachineCall call;
  MenuItemLook* item = sim::FindItem(look.item);
  if (!item) return;
  if (!look.text.empty()) item->text = look.text;
  item->enabled = look.enabled;
}

void EnableTrayMenuItem(int item, bool enabled) {
  const sim::MachineCall call;
  if (MenuItemLook* found = sim::FindItem(item)) found->enabled = enabled;
}
