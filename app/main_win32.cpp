#include <windows.h>

#include <string>

#include "app/main_loop.h"
#include "app/product.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "headset/config_manager.h"
#include "ui/main_window.h"
#include "update/version_info.h"
#include "winsettings/registry.h"

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

constexpr wchar_t kColorDistortionKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";

std::wstring ReadColorDistortion(const wchar_t* name) {
  return ReadRegValue(kHkeyLocalMachine, kColorDistortionKey, name, 0, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring programPath = OwnProgramPath();
  SetCurrentDirectoryW(FolderOf(programPath).c_str());
  // A missing entry point only makes the registry calls that need it fail.
  LoadRegistryFunctions();

  Identity() = ProgramIdentity{ReadProductVersion(programPath), ReadFileVersion(programPath)};
  const std::wstring& productVersion = Identity().productVersion;

  EnforceSingleInstance();
  RemoveUpdateLeftovers();

  Settings registryColors;
  registryColors.ColorDistortionR = ReadColorDistortion(L"ColorDistortionR");
  registryColors.ColorDistortionG = ReadColorDistortion(L"ColorDistortionG");
  registryColors.ColorDistortionB = ReadColorDistortion(L"ColorDistortionB");
  ProgramSettings() = LoadAndRewriteSettings(registryColors, productVersion);

  if (!LoadConfigManager()) ShowFatalErrorAndExit(L"Can not open CfgMgr32 API");

  if (!CreateMainWindow(MainWindowTitle(productVersion, Identity().fileVersion))) {
    ReleaseAndExit(1);
  }
  if (ProgramSettings().StartMinimized == 0) ShowMainWindow();

  RunMainLoop();
  ReleaseAndExit(0);
}
