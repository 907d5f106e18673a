#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_loop.h"
#include "ui/tray.h"
#include "base/program_state.h"
#include "companions/steam.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_registry.h"
#include "base/event_log.h"

namespace {

constexpr wchar_t kSettingsProgram[] =
    L"\\steamapps\\common\\MixedRealityVRDriver\\bin\\win64\\OpenVRSettingsUX.exe";
constexpr wchar_t kSteamVR[] = L"\\steamapps\\common\\SteamVR";
constexpr wchar_t kSteam[] = L"C:\\Program Files (x86)\\Steam";

class SteamDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ProgramSettings() = Settings{};
    OpenVRSettingsPath() = L"left over";
    // A line holding ":" is never dropped as a repeat, so this test's first
    // line is never taken for a repeat of the previous test's last one.
    AddLogLine(L"test: start", 0);
    logStart = LogText().size();
  }

  static void InstallSteam(const std::wstring& folder) {
    sim::PutRegString(kHkeyCurrentUser, L"Software\\Valve\\Steam", L"SteamPath", folder);
    sim::PutDirectory(folder);
  }

  static void WriteConfig(const std::wstring& steam, const std::vector<std::string>& libraries) {
    std::string keys;
    for (size_t i = 0; i < libraries.size(); ++i) {
      keys += "\t\t\t\t\"BaseInstallFolder_" + std::to_string(i + 1) + "\"\t\t\"" + libraries[i] +
              "\"\n";
    }
    sim::PutFile(steam + L"\\config\\config.vdf", "\"InstallConfigStore\"\n{\n" + keys + "}\n");
  }

  // The log lines discovery wrote, without their time stamps.
  std::vector<std::wstring> LogLines() const {
    std::vector<std::wstring> lines;
    const std::wstring log = LogText().substr(logStart);
    for (size_t start = 0; start < log.size();) {
      const size_t end = log.find(L'\r', start);
      lines.push_back(log.substr(start + 9, end - start - 9));  // "hh:mm:ss:"
      start = end + 1;
    }
    return lines;
  }

  size_t logStart = 0;
};

TEST_F(SteamDiscovery, NothingInstalledLogsTheThreeMissingFindings) {
  DiscoverSteam();
  EXPECT_EQ(SteamPath(), L"");
  EXPECT_TRUE(SteamLibraryList().empty());
  EXPECT_EQ(OpenVRSettingsPath(), L"");
  EXPECT_EQ(SteamVRFolder(), L"");
  // All normal lines: the marker after the time stamp is a space.
  EXPECT_EQ(LogLines(), (std::vector<std::wstring>{L" Can not find Steam Path in Registry",
                                                   L" Can not find OpenVRSettingsUX.exe",
                                                   L" Can not find SteamVR"}));
  // Each probe scanned every drive letter once, in order.
  ASSERT_EQ(sim::QueriedDriveRoots().size(), 52u);
  EXPECT_EQ(sim::QueriedDriveRoots()[0], L"A:\\");
  EXPECT_EQ(sim::QueriedDriveRoots()[25], L"Z:\\");
}

TEST_F(SteamDiscovery, SteamFolderIsProbedBeforeTheLibraries) {
  InstallSteam(kSteam);
  WriteConfig(kSteam, {"D:\\\\SteamLibrary"});
  sim::PutFile(std::wstring(kSteam) + kSettingsProgram, "");  // an empty file still counts
  sim::PutFile(std::wstring(L"D:\\SteamLibrary") + kSettingsProgram, "exe");
  sim::PutDirectory(std::wstring(kSteam) + kSteamVR);
  sim::PutDirectory(std::wstring(L"D:\\SteamLibrary") + kSteamVR);
  DiscoverSteam();
  EXPECT_EQ(SteamLibraryList(), std::vector<std::wstring>{L"D:\\SteamLibrary"});
  EXPECT_EQ(OpenVRSettingsPath(), std::wstring(kSteam) + kSettingsProgram);
  EXPECT_EQ(SteamVRFolder(), std::wstring(kSteam) + kSteamVR);
  EXPECT_EQ(LogLines(),
            (std::vector<std::wstring>{L" Found Steam Path in Registry",
                                       L" Found OpenVRSettingsUX.exe", L" Found SteamVR"}));
  EXPECT_TRUE(sim::QueriedDriveRoots().empty());
}

TEST_F(SteamDiscovery, LibrariesAreProbedInKeyOrder) {
  InstallSteam(kSteam);
  WriteConfig(kSteam, {"E:\\\\First", "F:\\\\Second"});
  sim::PutFile(std::wstring(L"F:\\Second") + kSettingsProgram, "exe");
  sim::PutFile(std::wstring(L"E:\\First") + kSettingsProgram, "exe");
  sim::PutDirectory(std::wstring(L"F:\\Second") + kSteamVR);
  DiscoverSteam();
  EXPECT_EQ(OpenVRSettingsPath(), std::wstring(L"E:\\First") + kSettingsProgram);
  EXPECT_EQ(SteamVRFolder(), std::wstring(L"F:\\Second") + kSteamVR);
}

TEST_F(SteamDiscovery, AFolderIsNoProgramAndAFileIsNoSteamVR) {
  InstallSteam(kSteam);
  WriteConfig(kSteam, {"D:\\\\SteamLibrary"});
  sim::PutDirectory(std::wstring(kSteam) + kSettingsProgram);
  sim::PutFile(std::wstring(kSteam) + kSteamVR, "not a folder");
  sim::PutFile(std::wstring(L"D:\\SteamLibrary") + kSettingsProgram, "exe");
  sim::PutDirectory(std::wstring(L"D:\\SteamLibrary") + kSteamVR);
  DiscoverSteam();
  EXPECT_EQ(OpenVRSettingsPath(), std::wstring(L"D:\\SteamLibrary") + kSettingsProgram);
  EXPECT_EQ(SteamVRFolder(), std::wstring(L"D:\\SteamLibrary") + kSteamVR);
}

TEST_F(SteamDiscovery, WithoutSteamTheDriveScanFindsSteamVROnD) {
  sim::AddReadyDrive(L'C');
  sim::AddReadyDrive(L'D');
  sim::AddReadyDrive(L'F');
  sim::PutDirectory(L"D:\\SteamLibrary\\steamapps\\common\\SteamVR");
  sim::PutDirectory(L"F:\\SteamLibrary\\steamapps\\common\\SteamVR");
  DiscoverSteam();
  EXPECT_EQ(SteamVRFolder(), L"D:\\SteamLibrary\\steamapps\\common\\SteamVR");
  EXPECT_EQ(LogLines(),
            (std::vector<std::wstring>{L" Can not find Steam Path in Registry",
                                       L" Can not find OpenVRSettingsUX.exe", L" Found SteamVR"}));
  // The settings-program scan went through all letters, the SteamVR scan
  // stopped at D.
  EXPECT_EQ(sim::QueriedDriveRoots().size(), 26u + 4u);
  EXPECT_EQ(sim::QueriedDriveRoots().back(), L"D:\\");
}

TEST_F(SteamDiscovery, DriveWithoutAVolumeIsNotProbed) {
  sim::AddReadyDrive(L'F');
  sim::PutFile(std::wstring(L"E:\\SteamLibrary") + kSettingsProgram, "exe");  // no medium
  sim::PutFile(std::wstring(L"F:\\SteamLibrary") + kSettingsProgram, "exe");
  DiscoverSteam();
  EXPECT_EQ(OpenVRSettingsPath(), std::wstring(L"F:\\SteamLibrary") + kSettingsProgram);
}

TEST_F(SteamDiscovery, RegistryPathIsKeptAsStoredEvenWhenTheFolderIsGone) {
  sim::PutRegString(kHkeyCurrentUser, L"Software\\Valve\\Steam", L"SteamPath",
                    L"c:/program files (x86)/steam");
  sim::PutFile(L"c:\\program files (x86)\\steam" + std::wstring(kSettingsProgram), "exe");
  DiscoverSteam();
  EXPECT_EQ(SteamPath(), L"c:/program files (x86)/steam");
  EXPECT_EQ(LogLines()[0], L" Can not find Steam Path in Registry");
  EXPECT_EQ(OpenVRSettingsPath(), L"c:/program files (x86)/steam" + std::wstring(kSettingsProgram));
}

TEST_F(SteamDiscovery, EmptyLibraryEntryNeverProbesTheBareSuffix) {
  InstallSteam(kSteam);
  sim::PutFile(std::wstring(kSteam) + L"\\config\\config.vdf", "\"BaseInstallFolder_1\"\t\"D:\n");
  sim::PutFile(kSettingsProgram, "exe");
  sim::PutDirectory(kSteamVR);
  DiscoverSteam();
  EXPECT_EQ(SteamLibraryList(), std::vector<std::wstring>{L""});
  EXPECT_EQ(OpenVRSettingsPath(), L"");
  EXPECT_EQ(SteamVRFolder(), L"");
}

TEST_F(SteamDiscovery, LibrariesOnlyInLibraryFoldersVdfAreAppendedAndProbed) {
  // Current Steam keeps config.vdf without library keys.
  InstallSteam(kSteam);
  WriteConfig(kSteam, {"E:\\\\Old"});
  sim::PutFile(std::wstring(kSteam) + L"\\steamapps\\libraryfolders.vdf",
               "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program Files "
               "(x86)\\\\Steam\"\n"
               "\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"e:\\\\old\"\n\t}\n"
               "\t\"2\"\n\t{\n\t\t\"path\"\t\t\"G:\\\\New Library\"\n\t}\n}\n");
  sim::PutDirectory(std::wstring(L"G:\\New Library") + kSteamVR);
  DiscoverSteam();
  EXPECT_EQ(SteamLibraryList(),
            (std::vector<std::wstring>{L"E:\\Old", kSteam, L"G:\\New Library"}));
  EXPECT_EQ(SteamVRFolder(), std::wstring(L"G:\\New Library") + kSteamVR);
  EXPECT_EQ(LogLines().back(), L" Found SteamVR");
}

TEST_F(SteamDiscovery, ConfigDoesNotCarryOverFromAPreviousDiscovery) {
  InstallSteam(kSteam);
  WriteConfig(kSteam, {"E:\\\\Lib"});
  DiscoverSteam();
  ASSERT_EQ(SteamLibraryList().size(), 1u);
  sim::Reset();
  DiscoverSteam();
  EXPECT_TRUE(SteamLibraryList().empty());
  EXPECT_EQ(SteamPath(), L"");
}

// "SteamVR WMR Settings" opens the program discovery found, or the store
// page of the WMR driver when there is none or it does not open.
TEST_F(SteamDiscovery, TrayCommandOpensTheFoundSettingsProgram) {
  InstallSteam(kSteam);
  const std::wstring program = std::wstring(kSteam) + kSettingsProgram;
  sim::PutFile(program, "exe");
  DiscoverSteam();
  sim::QueueEvent(LoopEvent{kMenuEvent, kMenuSteamVrWmrSettings, 0});
  RunLoopTurn(WaitForLoopEvent(50));
  EXPECT_EQ(sim::OpenedLinks(), std::vector<std::wstring>{program});

  sim::FailShellOpen(program);
  sim::QueueEvent(LoopEvent{kMenuEvent, kMenuSteamVrWmrSettings, 0});
  RunLoopTurn(WaitForLoopEvent(50));
  ASSERT_EQ(sim::OpenedLinks().size(), 3u);
  EXPECT_EQ(sim::OpenedLinks()[2].rfind(L"steam://openurl/", 0), 0u);
  EXPECT_NE(sim::OpenedLinks()[2].find(L"719950"), std::wstring::npos);
}

TEST_F(SteamDiscovery, TrayCommandWithoutTheProgramOpensTheStorePage) {
  DiscoverSteam();
  sim::QueueEvent(LoopEvent{kMenuEvent, kMenuSteamVrWmrSettings, 0});
  RunLoopTurn(WaitForLoopEvent(50));
  // No path to hand to the shell: the store page is the only link opened.
  ASSERT_EQ(sim::OpenedLinks().size(), 1u);
  EXPECT_NE(sim::OpenedLinks()[0].find(L"719950"), std::wstring::npos);
}

}  // namespace
