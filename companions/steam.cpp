#include "companions/steam.h"

#include "base/files.h"
#include "base/program_state.h"
#include "companions/steam_rules.h"
#include "base/event_log.h"
#include "winsettings/registry.h"

namespace {

constexpr wchar_t kSteamKey[] = L"Software\\Valve\\Steam";
constexpr wchar_t kSteamPathValue[] = L"SteamPath";
constexpr wchar_t kConfigFile[] = L"\\config\\config.vdf";
constexpr wchar_t kLibraryFoldersFile[] = L"\\steamapps\\libraryfolders.vdf";
constexpr wchar_t kSettingsProgramSuffix[] =
    L"\\steamapps\\common\\MixedRealityVRDriver\\bin\\win64\\OpenVRSettingsUX.exe";
constexpr wchar_t kSteamVRSuffix[] = L"\\steamapps\\common\\SteamVR";
constexpr wchar_t kDriveLibrary[] = L":\\SteamLibrary";

std::wstring steamPath;
std::vector<std::wstring> steamLibraryList;
std::wstring steamVRFolder;

bool IsFile(const std::wstring& path) { return FileSizeOf(path) >= 0; }

void LogFinding(bool found, const wchar_t* foundText, const wchar_t* missingText) {
  AddLogLine(found ? foundText : missingText, 0);
}

std::vector<std::wstring> ReadLibraryList() {
  std::vector<std::wstring> list;
  // Without a Steam folder the file names would point at the drive's root.
  if (steamPath.empty()) return list;
  std::string bytes;
  if (ReadWholeFile(steamPath + kConfigFile, bytes)) list = ConfigLibraryFolders(bytes);
  if (ReadWholeFile(steamPath + kLibraryFoldersFile, bytes)) {
    AppendNewFolders(list, LibraryFoldersVdfPaths(bytes));
  }
  return list;
}

// The first of the Steam folder, the libraries in list order and the
// "SteamLibrary" folders of the ready drives A to Z whose `suffix` passes
// `exists`. An empty folder is skipped: the bare suffix would name a path
// on the current drive, not one inside Steam.
std::wstring FirstHit(const std::wstring& suffix, bool (*exists)(const std::wstring&)) {
  auto probe = [&](const std::wstring& folder) {
    return !folder.empty() && exists(folder + suffix);
  };
  if (probe(steamPath)) return steamPath + suffix;
  for (const std::wstring& library : steamLibraryList) {
    if (probe(library)) return library + suffix;
  }
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const std::wstring drive(1, letter);
    if (!DriveHasVolume(drive + L":\\")) continue;
    if (probe(drive + kDriveLibrary)) return drive + kDriveLibrary + suffix;
  }
  return std::wstring();
}

}  // namespace

const std::wstring& SteamPath() { return steamPath; }
const std::vector<std::wstring>& SteamLibraryList() { return steamLibraryList; }
const std::wstring& SteamVRFolder() { return steamVRFolder; }

void DiscoverSteam() {
  steamPath = ReadRegValue(kHkeyCurrentUser, kSteamKey, kSteamPathValue, 0, nullptr);
  LogFinding(!steamPath.empty() && IsDirectory(steamPath), L"Found Steam Path in Registry",
             L"Can not find Steam Path in Registry");

  steamLibraryList = ReadLibraryList();

  OpenVRSettingsPath() = FirstHit(kSettingsProgramSuffix, IsFile);
  LogFinding(!OpenVRSettingsPath().empty(), L"Found OpenVRSettingsUX.exe",
             L"Can not find OpenVRSettingsUX.exe");

  steamVRFolder = FirstHit(kSteamVRSuffix, IsDirectory);
  LogFinding(!steamVRFolder.empty(), L"Found SteamVR", L"Can not find SteamVR");
}
