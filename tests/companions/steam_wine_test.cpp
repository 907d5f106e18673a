// Steam discovery against real folders, a real registry value and a drive
// letter mapped in the test prefix's dosdevices.
#include "companions/steam.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/program_state.h"
#include "base/event_log.h"

namespace {

constexpr wchar_t kSteamKey[] = L"Software\\Valve\\Steam";
constexpr wchar_t kSettingsProgram[] =
    L"\\steamapps\\common\\MixedRealityVRDriver\\bin\\win64\\OpenVRSettingsUX.exe";
constexpr wchar_t kSteamVR[] = L"\\steamapps\\common\\SteamVR";

void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

void MakeFile(const std::wstring& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.find_last_of(L'\\')));
  ASSERT_TRUE(ReplaceFileContents(path, bytes));
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Backslashes doubled, as Steam writes them.
std::string VdfPath(const std::wstring& path) {
  std::string out;
  for (char c : Narrow(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

// Wine's own exports, found at run time: a Windows path's Unix form (freed
// with HeapFree), and running a Unix program to its end.
using UnixFileName = char*(__cdecl*)(const wchar_t*);
using UnixSpawn = int(__cdecl*)(char* const*, int);

template <typename Function>
Function WineExport(const wchar_t* module, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

std::string UnixPath(const std::wstring& path) {
  static const auto unixFileName =
      WineExport<UnixFileName>(L"kernel32.dll", "wine_get_unix_file_name");
  char* unix = unixFileName(path.c_str());
  std::string result = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

int RunUnix(std::initializer_list<std::string> arguments) {
  std::vector<std::string> copies(arguments);
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  static const auto spawn = WineExport<UnixSpawn>(L"ntdll.dll", "__wine_unix_spawnvp");
  return spawn(argv.data(), 1);
}

void RemoveTree(const std::wstring& folder) { RunUnix({"/bin/rm", "-rf", UnixPath(folder)}); }

class SteamOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"vantrel-steam-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(root);
    MakeFolders(root);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSteamKey, L"SteamPath");
    AddLogLine(L"test: start", 0);
    logStart = LogText().size();
  }

  void TearDown() override {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSteamKey, L"SteamPath");
    if (mappedDrive) RunUnix({"/bin/rm", "-f", DosDevice(mappedDrive)});
    RemoveTree(root);
  }

  static void SetSteamPath(const std::wstring& path) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSteamKey, L"SteamPath", REG_SZ, path.c_str(),
                              static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  static std::string DosDevice(wchar_t letter) {
    char name[] = "x:";
    name[0] = static_cast<char>(letter - L'A' + 'a');
    std::string prefix;
    if (const char* configured = std::getenv("WINEPREFIX")) prefix = configured;
    return prefix + "/dosdevices/" + name;
  }

  // Maps the first free letter from M on to `folder`; 0 when none could be.
  wchar_t MapDrive(const std::wstring& folder) {
    const DWORD used = GetLogicalDrives();
    for (wchar_t letter = L'M'; letter <= L'Y'; ++letter) {
      if (used & (1u << (letter - L'A'))) continue;
      if (RunUnix({"/bin/ln", "-sfn", UnixPath(folder), DosDevice(letter)}) != 0) return 0;
      mappedDrive = letter;
      return letter;
    }
    return 0;
  }

  std::wstring Log() const { return LogText().substr(logStart); }

  std::wstring root;
  size_t logStart = 0;
  wchar_t mappedDrive = 0;
};

TEST_F(SteamOnWine, FindsTheProgramAndSteamVRThroughBothLibraryFiles) {
  const std::wstring steam = root + L"\\Steam";
  const std::wstring first = root + L"\\Library One";
  const std::wstring second = root + L"\\Library Two";
  SetSteamPath(steam);
  MakeFile(
      steam + L"\\config\\config.vdf",
      "\"InstallConfigStore\"\n{\n\t\"BaseInstallFolder_1\"\t\t\"" + VdfPath(first) + "\"\n}\n");
  MakeFile(steam + L"\\steamapps\\libraryfolders.vdf",
           "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + VdfPath(steam) +
               "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + VdfPath(second) + "\"\n\t}\n}\n");
  // In the Steam folder the program is a folder; in the first library
  // SteamVR is a file: neither counts.
  MakeFolders(steam + kSettingsProgram);
  MakeFile(first + kSettingsProgram, "");
  MakeFile(first + kSteamVR, "not a folder");
  MakeFolders(second + kSteamVR);

  DiscoverSteam();
  EXPECT_EQ(SteamPath(), steam);
  EXPECT_EQ(SteamLibraryList(), (std::vector<std::wstring>{first, steam, second}));
  EXPECT_EQ(OpenVRSettingsPath(), first + kSettingsProgram);
  EXPECT_EQ(SteamVRFolder(), second + kSteamVR);
  EXPECT_NE(Log().find(L": Found Steam Path in Registry\r"), std::wstring::npos);
  EXPECT_NE(Log().find(L": Found OpenVRSettingsUX.exe\r"), std::wstring::npos);
  EXPECT_NE(Log().find(L": Found SteamVR\r"), std::wstring::npos);
}

TEST_F(SteamOnWine, WithoutSteamTheDriveScanFindsTheLibraryOnAMappedDrive) {
  MakeFolders(root + L"\\drive\\SteamLibrary" + kSteamVR);
  const wchar_t letter = MapDrive(root + L"\\drive");
  ASSERT_NE(letter, 0);
  const std::wstring drive = std::wstring(1, letter) + L":";
  ASSERT_TRUE(DriveHasVolume(drive + L"\\"));

  DiscoverSteam();
  EXPECT_EQ(SteamPath(), L"");
  EXPECT_EQ(OpenVRSettingsPath(), L"");
  EXPECT_EQ(SteamVRFolder(), drive + L"\\SteamLibrary" + kSteamVR);
  const std::wstring log = Log();
  const size_t missing = log.find(L": Can not find Steam Path in Registry\r");
  const size_t found = log.find(L": Found SteamVR\r");
  EXPECT_NE(missing, std::wstring::npos);
  EXPECT_NE(found, std::wstring::npos);
  EXPECT_LT(missing, found);
  EXPECT_NE(log.find(L": Can not find OpenVRSettingsUX.exe\r"), std::wstring::npos);
}

TEST_F(SteamOnWine, OnlyDrivesWithAVolumeCount) {
  EXPECT_TRUE(DriveHasVolume(L"C:\\"));
  const DWORD used = GetLogicalDrives();
  for (wchar_t letter = L'D'; letter <= L'Y'; ++letter) {
    if (used & (1u << (letter - L'A'))) continue;
    EXPECT_FALSE(DriveHasVolume(std::wstring(1, letter) + L":\\")) << char(letter);
  }
}

}  // namespace
