#include <gtest/gtest.h>

#include "base/settings.h"
#include "tests/e2e/harness.h"
#include "update/version_info.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kStartTimeoutMs = 20000;
constexpr wchar_t kTitlePrefix[] = L"Vantrel - V";

// Starts the program and waits until its main window exists, which happens
// only after the settings file has been rewritten.
HWND StartAndWait(const ProgramFolder& folder, RunningProgram& program,
                  const std::wstring& name = L"Vantrel.exe") {
  program = e2e::Start(folder, name);
  return e2e::WaitForWindow(program.id(), kTitlePrefix, kStartTimeoutMs);
}

void EndProgram(RunningProgram& program, HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(10000));
}

TEST(Startup, EmptyFolderGetsTheDefaultSettingsFile) {
  ProgramFolder folder;
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  e2e::SaveScreenshot(L"startup-default");

  const std::wstring productVersion = ReadProductVersion(folder.PathOf(L"Vantrel.exe"));
  const std::wstring fileVersion = ReadFileVersion(folder.PathOf(L"Vantrel.exe"));
  EXPECT_EQ(productVersion.rfind(L"V", 0), 0u);
  EXPECT_EQ(e2e::WindowTitle(window).rfind(
                L"Vantrel - " + productVersion + L" (" + fileVersion + L") ", 0),
            0u);

  const std::string written = folder.Read(L"Vantrel.ini");
  EXPECT_EQ(written.substr(0, 5), "\xEF\xBB\xBF\r\n");
  const std::string lastLine = "SteamVRProcessName = vrmonitor.exe\r\n";
  ASSERT_GE(written.size(), lastLine.size());
  EXPECT_EQ(written.substr(written.size() - lastLine.size()), lastLine);
  EXPECT_EQ(written, RenderSettings(Settings{}, productVersion));
  EndProgram(program, window);
}

TEST(Startup, HandEditedSettingsAreReadAndRewrittenByTheirRules) {
  ProgramFolder folder;
  folder.Write(L"Vantrel.ini",
               "startminimized = 2\n"
               "  UseKeyHotkey=300\r"
               "SkipUpdate = 1.2\r\n"
               "WMRPortalProcessName = C:\\Apps\\Portal.exe\r\n"
               "OculusServiceName = bad:name\r\n"
               "CloseToTray = 1\r\n"
               "[Added by hand]\r\n"
               "CheckForUpdate = 1\r\n");
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);

  Settings expected;
  expected.CloseToTray = 1;
  expected.WMRPortalProcessName = L"Portal.exe";
  const std::wstring productVersion = ReadProductVersion(folder.PathOf(L"Vantrel.exe"));
  EXPECT_EQ(folder.Read(L"Vantrel.ini"), RenderSettings(expected, productVersion));
  // StartMinimized 2 reads as off. The window is found by its title while
  // still hidden, before the tray icon is added and the window is shown.
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kStartTimeoutMs));
  TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, program.id()), 0);
}

// Too large to be read: the user's file stays as it is while the program
// runs on the defaults, until the user changes a setting.
TEST(Startup, SettingsFileThatCannotBeReadIsKeptUntilASettingChanges) {
  ProgramFolder folder;
  std::string large = "StopHMDwithSteam = 1\r\nCloseToTray = 1\r\n";
  large.resize((64 << 20) + 1, ' ');
  folder.Write(L"Vantrel.ini", large);
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  constexpr int kLogView = 34;
  EXPECT_TRUE(e2e::WaitForControlText(window, kLogView,
                                      L":!Can not read Vantrel.ini, defaults in use", 20000));
  WIN32_FILE_ATTRIBUTE_DATA file{};
  ASSERT_TRUE(
      GetFileAttributesExW(folder.PathOf(L"Vantrel.ini").c_str(), GetFileExInfoStandard, &file));
  EXPECT_EQ(file.nFileSizeLow, large.size());

  constexpr int kBoxStopWithSteam = 12;
  HWND box = e2e::FindControl(window, kBoxStopWithSteam);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);  // the default
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        const std::string saved = folder.Read(L"Vantrel.ini");
        return saved.size() < 4096 && saved.find("StopHMDwithSteam = 1\r\n") != std::string::npos;
      },
      20000));
  EndProgram(program, window);
}

TEST(Startup, StartMinimizedKeepsTheWindowHidden) {
  ProgramFolder folder;
  folder.Write(L"Vantrel.ini", "StartMinimized = 1\r\n");
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EndProgram(program, window);
}

TEST(Startup, UpdateLeftoversAreRemovedButAnEmptyOldProgramStays) {
  ProgramFolder folder;
  folder.Write(L"Vantrel.exe.old", "MZ previous version");
  folder.SetReadOnly(L"Vantrel.exe.old");
  folder.Write(L"ReadMe.txt.old", "old read-me");
  folder.Write(L"vtrel.updater.exe", "MZ updater");
  folder.MakeFolder(L"vtrel_tmp");
  folder.Write(L"vtrel_tmp\\update.zip", "PK archive");
  folder.SetReadOnly(L"vtrel_tmp\\update.zip");
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(folder.Exists(L"Vantrel.exe.old"));
  EXPECT_FALSE(folder.Exists(L"ReadMe.txt.old"));
  EXPECT_FALSE(folder.Exists(L"vtrel.updater.exe"));
  EXPECT_FALSE(folder.Exists(L"vtrel_tmp"));
  EndProgram(program, window);

  folder.Write(L"Vantrel.exe.old", "");
  window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(folder.Exists(L"Vantrel.exe.old"));
  EndProgram(program, window);
}

TEST(Startup, FailedSaveLeavesThePreviousFileByteForByte) {
  ProgramFolder folder;
  const std::string handMade = "; my own notes\nStartHMDwithSteam=1\n[Section]\nDarkMode = 1\n";
  folder.Write(L"Vantrel.ini", handMade);
  // A folder where the temporary copy must go makes the save fail before the
  // settings file itself is touched.
  folder.MakeFolder(L"Vantrel.ini.tmp");
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(folder.Read(L"Vantrel.ini"), handMade);
  EndProgram(program, window);
}

// The colour-distortion values live in the registry; the settings file only
// keeps a backup of them, used when one of the three is missing.
class ColorDistortionBackup : public ::testing::Test {
 protected:
  static constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";
  void SetUp() override { TearDown(); }
  void TearDown() override {
    for (const wchar_t* name : {L"ColorDistortionR", L"ColorDistortionG", L"ColorDistortionB"}) {
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, name);
    }
  }
  static void Put(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, name, REG_DWORD, &value, sizeof(value));
  }
  static std::string SavedBackup(const char* letters) {
    ProgramFolder folder;
    folder.Write(
        L"Vantrel.ini",
        "ColorDistortionR = 1010\r\nColorDistortionG = 1020\r\nColorDistortionB = 1030\r\n");
    RunningProgram program;
    HWND window = StartAndWait(folder, program);
    EXPECT_NE(window, nullptr);
    const std::string file = folder.Read(L"Vantrel.ini");
    EndProgram(program, window);
    std::string backup;
    for (const char* letter = letters; *letter; ++letter) {
      const std::string key = std::string("ColorDistortion") + *letter + " = ";
      const size_t at = file.find(key);
      backup += at == std::string::npos ? "?" : file.substr(at + key.size(), 4);
      backup += ' ';
    }
    return backup;
  }
};

TEST_F(ColorDistortionBackup, RegistryValuesWinWhenAllThreeArePresent) {
  Put(L"ColorDistortionR", 950);
  Put(L"ColorDistortionG", 960);
  Put(L"ColorDistortionB", 970);
  EXPECT_EQ(SavedBackup("RGB"), "950\r 960\r 970\r ");
}

TEST_F(ColorDistortionBackup, FileBackupIsUsedWhenOneValueIsMissing) {
  Put(L"ColorDistortionR", 950);
  Put(L"ColorDistortionB", 970);
  EXPECT_EQ(SavedBackup("RGB"), "1010 1020 1030 ");
}

TEST(SingleInstance, SecondCopyEndsTheFirstAndKeepsRunning) {
  ProgramFolder folder;
  RunningProgram first;
  ASSERT_NE(StartAndWait(folder, first), nullptr);
  const e2e::LookAlikes lookAlikes;
  RunningProgram second;
  HWND secondWindow = StartAndWait(folder, second);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_TRUE(first.WaitForExit(10000));
  EXPECT_EQ(first.ExitCode(), 0u);  // it closed on WM_CLOSE, it was not terminated
  EXPECT_TRUE(second.IsRunning());
  EXPECT_TRUE(lookAlikes.BothRunning());
  e2e::SaveScreenshot(L"single-instance");
  EndProgram(second, secondWindow);
}

TEST(SingleInstance, FirstCopyThatHidesToTrayIsEndedByForce) {
  ProgramFolder folder;
  folder.Write(L"Vantrel.ini", "CloseToTray = 1\r\n");
  RunningProgram first;
  ASSERT_NE(StartAndWait(folder, first), nullptr);
  const ULONGLONG started = GetTickCount64();
  RunningProgram second;
  HWND secondWindow = StartAndWait(folder, second);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_TRUE(first.WaitForExit(10000));
  EXPECT_EQ(first.ExitCode(), 1u);  // terminated after 21 requests to close
  EXPECT_GE(GetTickCount64() - started, 5000u);
  EXPECT_TRUE(second.IsRunning());
  PostMessageW(secondWindow, WM_CLOSE, 111, 0);
  EXPECT_TRUE(second.WaitForExit(10000));
}

TEST(SingleInstance, CopyRunningUnderAnotherNameIsNotSeen) {
  // A second copy looks for "Vantrel.exe", so a first copy stored under
  // another name is neither asked to close nor ended.
  ProgramFolder folder;
  folder.AddProgramCopy(L"Vantrel-portable.exe");
  RunningProgram renamed;
  HWND renamedWindow = StartAndWait(folder, renamed, L"Vantrel-portable.exe");
  ASSERT_NE(renamedWindow, nullptr);
  RunningProgram second;
  HWND secondWindow = StartAndWait(folder, second);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_TRUE(renamed.IsRunning());
  EndProgram(second, secondWindow);
  EndProgram(renamed, renamedWindow);
}

TEST(Shutdown, CloseWithParameter111EndsAtOnce) {
  ProgramFolder folder;
  RunningProgram program;
  HWND window = StartAndWait(folder, program);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 111, 0);
  EXPECT_TRUE(program.WaitForExit(5000));
  EXPECT_EQ(program.ExitCode(), 0u);
}

// Wine reads per-program DLL overrides from the prefix's registry; an empty
// one makes cfgmgr32.dll fail to load for that program name only.
class MissingConfigurationManager : public ::testing::Test {
 protected:
  static constexpr wchar_t kOverrideKey[] =
      L"Software\\Wine\\AppDefaults\\VantrelNoCfgMgr.exe\\DllOverrides";
  void SetUp() override {
    RegSetKeyValueW(HKEY_CURRENT_USER, kOverrideKey, L"cfgmgr32", REG_SZ, L"", sizeof(wchar_t));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kOverrideKey); }
};

TEST_F(MissingConfigurationManager, IsFatalAfterTheSettingsAreWritten) {
  ProgramFolder folder(L"VantrelNoCfgMgr.exe");
  RunningProgram program = e2e::Start(folder, L"VantrelNoCfgMgr.exe");
  HWND box = e2e::WaitForWindow(program.id(), L"Vantrel - Error Quit", kStartTimeoutMs);
  ASSERT_NE(box, nullptr);
  e2e::SaveScreenshot(L"fatal-error");
  EXPECT_TRUE(folder.Exists(L"Vantrel.ini"));
  EXPECT_EQ(e2e::WaitForWindow(program.id(), kTitlePrefix, 0), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.WaitForExit(10000));
  EXPECT_EQ(program.ExitCode(), 1u);
}

}  // namespace
