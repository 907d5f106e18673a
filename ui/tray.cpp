#include "ui/tray.h"

#include "base/program_state.h"
#include "companions/services.h"
#include "ui/controls.h"

namespace {

// Decided once, while the menu is built: installing the service later adds
// no items before the next start.
bool oculusItemsExist = false;

}  // namespace

std::vector<MenuItemLook> TrayMenuLayout(bool withOculusGroup) {
  const MenuItemLook separator{kMenuSeparator, L"", true};
  std::vector<MenuItemLook> entries = {
      {kMenuStartHeadset, L"Start WMR Headset", true},
      {kMenuRestartHeadset, L"Restart WMR Headset", true},
      separator,
      {kMenuStartSteamVR, L"Start SteamVR", true},
      {kMenuRestartSteamVR, L"Restart SteamVR", true},
  };
  if (withOculusGroup) {
    entries.push_back(separator);
    entries.push_back({kMenuStartOculus, L"Start Oculus Service", true});
    entries.push_back({kMenuRestartOculus, L"Restart Oculus Service", true});
  }
  entries.insert(entries.end(), {separator,
                                 {kMenuWindowsWmrSettings, L"Windows WMR Settings", true},
                                 {kMenuOpenXrWmrSettings, L"OpenXR WMR Settings", true},
                                 {kMenuSteamVrWmrSettings, L"SteamVR WMR Settings", true},
                                 separator,
                                 {kMenuShowAppWindow, L"Show App Window", true},
                                 separator,
                                 {kMenuExit, L"Exit", true}});
  return entries;
}

bool BuildTrayMenu() {
  oculusItemsExist = ServiceState(ProgramSettings().OculusServiceName) != kServiceUnknown;
  return CreateTrayMenu(TrayMenuLayout(oculusItemsExist));
}

bool OculusItemsExist() { return oculusItemsExist; }

void ReAddTrayIcon() {
  if (TrayIconExists()) RemoveTrayIcon();
  AddTrayIcon();
}

void ShowTrayStatus(const TrayStatus& status) {
  if (status.headsetKnown) {
    SetTrayIconLook(status.headset);
    SetMainWindowImage(status.headset.image);
  }
  for (const MenuItemLook& look : status.items) SetTrayMenuItem(look);
  SetControlEnabled(kBoxStartOculus, status.oculusCheckBoxEnabled);
}
