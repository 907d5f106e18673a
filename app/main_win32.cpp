#include <windows.h>

#include <string>

#include "app/control_actions.h"
#include "app/folder_access.h"
#include "app/main_loop.h"
#include "base/shutdown.h"
#include "base/product.h"
#include "base/program_state.h"
#include "base/settings.h"
#include "base/system_libraries_win32.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "companions/steam.h"
#include "headset/config_manager.h"
#include "headset/device_discovery.h"
#include "ui/hotkeys.h"
#include "base/event_log.h"
#include "ui/main_window.h"
#include "ui/theme.h"
#include "ui/tray.h"
#include "ui/tray_win32.h"
#include "update/update_check.h"
#include "update/version_info.h"
#include "winsettings/registry.h"
#include "winsettings/tweaks.h"

namespace {

std::wstring OwnProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // A full buffer means the path was cut short; try again with more room.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (!SearchSystemLibrariesOnly()) return 1;
  SetReleaseBeforeExit(ReleaseProgram);
  const std::wstring programPath = OwnProgramPath();
  SetCurrentDirectoryW(FolderOf(programPath).c_str());
  // A missing entry point only makes the registry calls that need it fail.
  LoadRegistryFunctions();

  Identity() =
      ProgramIdentity{ReadProductVersion(programPath), ReadFileVersion(programPath), programPath};
  const std::wstring& productVersion = Identity().productVersion;

  EnforceSingleInstance();
  RemoveUpdateLeftovers();
  const bool changeable = UserCanChangeProgram(programPath);
  if (changeable) {
    AddLogLine(
        L"Ordinary users can change the program folder of this elevated program: "
        L"install Vantrel in a folder under Program Files",
        1);
  }
  ProgramFolderTrusted() = !changeable || PolicyAllowsUnprotectedFolder();

  ProgramSettings() = LoadAndRewriteSettings(ReadRegistryColorFactors(), productVersion);

  if (!LoadConfigManager()) ShowFatalErrorAndExit(L"Can not open CfgMgr32 API");

  DecideDarkMode(ProgramSettings().DarkMode);
  DiscoverSteam();
  LoadTrayImages();
  LoadIdleTimeout();
  BuildKeyNameTable();

  // Before the device search and any window, so an update can hand over
  // to the updater before anything else has started.
  if (ProgramSettings().CheckForUpdate == 1) UpdateCheck(false);

  StartDeviceSearch();

  if (!CreateMainWindow(MainWindowTitle(productVersion, Identity().fileVersion))) {
    ReleaseAndExit(1);
  }
  SetInitialControlStates();
  // Without a taskbar yet (an early start at log-on) the add fails and the
  // main loop's icon watch adds the icon once the taskbar exists.
  AddTrayIcon();
  // The title bar tells the same as the tray until the first status.
  SetMainWindowImage(kTrayImageNotFound);
  BuildTrayMenu();
  if (ProgramSettings().StartMinimized == 0) ShowMainWindow();
  RegisterMenuHotkey();

  RunMainLoop();
  ReleaseAndExit(0);
}
