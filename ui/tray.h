// The program's place in the notification area: the tray icon, whose image
// and tooltip show the headset's state, and the tray menu.
#pragma once

#include <string>
#include <vector>

// Tray images; the same image is the main window's small icon.
enum TrayImage : int {
  kTrayImageNotFound = 0,  // red; also from start-up until the first status
  kTrayImageOffline = 1,   // yellow
  kTrayImageOnline = 2,    // green
};

inline constexpr wchar_t kStartupTooltip[] = L"Vantrel - Headset offline";

// Click types of the tray event.
enum TrayClick : int {
  kTrayDoubleClick = 1,  // left double click: show the main window
  kTrayRightClick = 2,   // pop up the tray menu
};

// What one tray menu item shows; an empty text keeps the item's text.
struct MenuItemLook {
  int item = 0;
  std::wstring text;
  bool enabled = false;
  bool operator==(const MenuItemLook&) const = default;
};

// The headset's picture in the tray and the window's title bar.
struct HeadsetLook {
  int image = kTrayImageNotFound;
  std::wstring tooltip;
  bool operator==(const HeadsetLook&) const = default;
};

// Everything the status monitor shows in one poll.
struct TrayStatus {
  bool headsetKnown = false;  // false: the headset's look stays as it is
  HeadsetLook headset;
  std::vector<MenuItemLook> items;
  bool oculusCheckBoxEnabled = false;
  bool operator==(const TrayStatus&) const = default;
};

// Tray menu items.
enum MenuItem : int {
  kMenuStartHeadset = 0,
  kMenuRestartHeadset = 1,
  kMenuStartSteamVR = 3,
  kMenuRestartSteamVR = 4,
  kMenuStartOculus = 5,
  kMenuRestartOculus = 6,
  kMenuWindowsWmrSettings = 7,
  kMenuOpenXrWmrSettings = 8,
  kMenuSteamVrWmrSettings = 9,
  kMenuShowAppWindow = 10,
  kMenuExit = 11,
};
inline constexpr int kMenuSeparator = -1;

// The tray menu's entries in display order, separators as kMenuSeparator.
std::vector<MenuItemLook> TrayMenuLayout(bool withOculusGroup);

// Builds the tray menu once; its Oculus group exists only when the service
// named by "OculusServiceName" answers a status query now.
bool BuildTrayMenu();
bool OculusItemsExist();

// Taskbar re-creation and the icon watch: the icon comes back red with the
// start-up tooltip, the main window as its owner.
void ReAddTrayIcon();

void ShowTrayStatus(const TrayStatus& status);

// Machine seams.

// Adds the icon with image 0 and the start-up tooltip; false when the shell
// refuses (no taskbar yet, say).
bool AddTrayIcon();
void RemoveTrayIcon();
bool TrayIconExists();
// Skipped while the icon is missing.
void SetTrayIconLook(const HeadsetLook& look);
// The main window's small title-bar icon; skipped without a window.
void SetMainWindowImage(int image);

bool CreateTrayMenu(const std::vector<MenuItemLook>& entries);
// Pops the menu up at the mouse pointer; the choice arrives as a menu event.
void OpenTrayMenu();
void SetTrayMenuItem(const MenuItemLook& look);
void EnableTrayMenuItem(int item, bool enabled);
