#include <gtest/gtest.h>

#include "base/files.h"
#include "base/product.h"
#include "app/startup.h"
#include "tests/sim/sim.h"
#include "base/event_log.h"

namespace {

class SingleInstance : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    sim::StartProcessWithId(L"Vantrel.exe", 1000);  // this copy
    sim::SetOwnProcessId(1000);
  }
  ProcessId StartOlderCopy(sim::CloseReaction reaction, std::int64_t closeDelayMs = 0) {
    const ProcessId older = sim::StartProcess(L"D:\\Older\\VANTREL.EXE");
    sim::OpenWindow(older, kMainWindowClass, reaction, closeDelayMs);
    return older;
  }
};

TEST_F(SingleInstance, AloneNeitherWaitsNorPostsAnything) {
  EnforceSingleInstance();
  EXPECT_TRUE(sim::PostedCloses().empty());
  EXPECT_EQ(sim::SleptMs(), 0);
  EXPECT_EQ(sim::SemaphoreCreations(L"Vantrel"), 1);
}

TEST_F(SingleInstance, OlderCopyThatEndsOnCloseIsAskedOnceAndNotTerminated) {
  const ProcessId older = StartOlderCopy(sim::CloseReaction::kEnds, 100);
  EnforceSingleInstance();
  EXPECT_FALSE(sim::IsRunning(older));
  ASSERT_EQ(sim::PostedCloses().size(), 1u);
  EXPECT_EQ(sim::PostedCloses()[0].wParam, 0u);
  // Gone within the first 250 ms wait, so one wait only; then the semaphore
  // is created again and kept.
  EXPECT_EQ(sim::SleptMs(), 250);
  EXPECT_EQ(sim::SemaphoreCreations(L"Vantrel"), 2);
}

TEST_F(SingleInstance, OlderCopyThatFinishesWorkFirstIsWaitedForEvery250Ms) {
  const ProcessId older = StartOlderCopy(sim::CloseReaction::kEnds, 600);
  EnforceSingleInstance();
  EXPECT_FALSE(sim::IsRunning(older));
  EXPECT_EQ(sim::SleptMs(), 750);
  EXPECT_EQ(sim::PostedCloses().size(), 3u);
}

TEST_F(SingleInstance, OlderCopyThatHidesIsTerminatedAfter21Attempts) {
  const ProcessId older = StartOlderCopy(sim::CloseReaction::kHides);
  EnforceSingleInstance();
  EXPECT_FALSE(sim::IsRunning(older));
  EXPECT_EQ(sim::PostedCloses().size(), 21u);
  EXPECT_EQ(sim::PostedCloses().back().atMs, 20 * 250);
  EXPECT_EQ(sim::SleptMs(), 22 * 250);  // about 5.25 s, then one more wait
}

TEST_F(SingleInstance, OlderCopyThatCannotBeEndedLeavesBothRunning) {
  const ProcessId older = StartOlderCopy(sim::CloseReaction::kHides);
  sim::ProtectProcess(older);
  EnforceSingleInstance();
  EXPECT_TRUE(sim::IsRunning(older));
  EXPECT_EQ(sim::PostedCloses().size(), 21u);
  EXPECT_EQ(sim::SemaphoreCreations(L"Vantrel"), 2);
}

TEST_F(SingleInstance, CopyStoredUnderAnotherNameIsNotSeen) {
  const ProcessId renamed = sim::StartProcess(L"Vantrel-copy.exe");
  sim::OpenWindow(renamed, kMainWindowClass, sim::CloseReaction::kEnds);
  EnforceSingleInstance();
  EXPECT_TRUE(sim::IsRunning(renamed));
  EXPECT_TRUE(sim::PostedCloses().empty());
}

// Nothing but the name says that this process is the program: it may be a
// copy still starting, so it is waited for, but it is never ended; nor is a
// window of the program's class in a process of another image closed.
TEST_F(SingleInstance, NamesakeWithoutTheProgramWindowIsWaitedForButNotEnded) {
  const ProcessId namesake = sim::StartProcess(L"C:\\Tools\\Vantrel.exe");
  sim::OpenWindow(namesake, L"SomeOtherClass");
  const ProcessId other = sim::StartProcess(L"C:\\Tools\\Vantrel.exe.old");
  sim::OpenWindow(other, kMainWindowClass);
  EnforceSingleInstance();
  EXPECT_TRUE(sim::IsRunning(namesake));
  EXPECT_TRUE(sim::IsRunning(other));
  EXPECT_TRUE(sim::PostedCloses().empty());
  EXPECT_EQ(sim::SleptMs(), 22 * 250);
}

TEST(MainWindowTitle, CarriesBothVersions) {
  const std::wstring title = MainWindowTitle(L"V0.1 Alpha", L"2026.12.8.1");
  EXPECT_EQ(title, std::wstring(L"Vantrel - V0.1 Alpha (2026.12.8.1) ") + kAuthorCredit);
}

class Leftovers : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(Leftovers, NonEmptyFilesGoEvenReadOnlyEmptyOnesStay) {
  sim::PutFile(L"Vantrel.exe.old", "MZ old program", true);
  sim::PutFile(L"ReadMe.txt.old", "old readme");
  sim::PutFile(L"vtrel.updater.exe", "MZ updater");
  sim::PutFile(L"Vantrel.exe", "MZ current");
  RemoveUpdateLeftovers();
  EXPECT_FALSE(sim::HasFile(L"Vantrel.exe.old"));
  EXPECT_FALSE(sim::HasFile(L"ReadMe.txt.old"));
  EXPECT_FALSE(sim::HasFile(L"vtrel.updater.exe"));
  EXPECT_TRUE(sim::HasFile(L"Vantrel.exe"));

  sim::PutFile(L"Vantrel.exe.old", "");
  RemoveUpdateLeftovers();
  EXPECT_TRUE(sim::HasFile(L"Vantrel.exe.old"));
}

TEST_F(Leftovers, WorkFolderIsEmptiedAndRemoved) {
  sim::PutDirectory(L"vtrel_tmp");
  sim::PutFile(L"vtrel_tmp\\update.zip", "PK", true);
  sim::PutFile(L"vtrel_tmp\\partial.bin", "x");
  sim::PutFile(L"other\\keep.txt", "keep");
  RemoveUpdateLeftovers();
  EXPECT_FALSE(sim::HasDirectory(L"vtrel_tmp"));
  EXPECT_FALSE(sim::HasFile(L"vtrel_tmp\\update.zip"));
  EXPECT_TRUE(sim::HasFile(L"other\\keep.txt"));
}

class StartupSettings : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  static Settings RegistryColors(const wchar_t* r, const wchar_t* g, const wchar_t* b) {
    Settings colors;
    colors.ColorDistortionR = r;
    colors.ColorDistortionG = g;
    colors.ColorDistortionB = b;
    return colors;
  }
};

TEST_F(StartupSettings, MissingFileIsWrittenWithDefaults) {
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"", L"", L""), L"V0.1");
  EXPECT_EQ(settings.SteamVRProcessName, L"vrmonitor.exe");
  EXPECT_EQ(settings.ColorDistortionR, L"1000");
  EXPECT_EQ(sim::FileBytes(kSettingsFileName), RenderSettings(Settings{}, L"V0.1"));
}

TEST_F(StartupSettings, RegistryColorsWinWhenAllThreeArePresent) {
  sim::PutFile(kSettingsFileName, "ColorDistortionR = 1\r\nColorDistortionG = 2\r\n");
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"900", L"950", L"990"), L"V");
  EXPECT_EQ(settings.ColorDistortionR, L"900");
  EXPECT_EQ(settings.ColorDistortionG, L"950");
  EXPECT_EQ(settings.ColorDistortionB, L"990");
}

TEST_F(StartupSettings, OneMissingRegistryColorTakesAllThreeFromTheFile) {
  sim::PutFile(kSettingsFileName, "ColorDistortionR = 1\r\nColorDistortionG = 2\r\n");
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"900", L"", L"990"), L"V");
  EXPECT_EQ(settings.ColorDistortionR, L"1");
  EXPECT_EQ(settings.ColorDistortionG, L"2");
  EXPECT_EQ(settings.ColorDistortionB, L"1000");
}

TEST_F(StartupSettings, FailedRewriteKeepsThePreviousFile) {
  const std::string handMade = "startminimized=1\n[Section]\nCloseToTray = 1\n";
  sim::PutFile(kSettingsFileName, handMade);
  sim::FailNextReplace();
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"", L"", L""), L"V");
  EXPECT_EQ(settings.StartMinimized, 1);
  EXPECT_EQ(settings.CloseToTray, 0);
  EXPECT_EQ(sim::FileBytes(kSettingsFileName), handMade);
}

TEST_F(StartupSettings, FileThatCannotBeReadIsKeptAndTheDefaultsRun) {
  const std::string users = "StartMinimized = 1\r\nCloseToTray = 1\r\n";
  sim::PutFile(kSettingsFileName, users);
  sim::MakeFileUnreadable(kSettingsFileName);
  const size_t logLength = LogText().size();
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"", L"", L""), L"V");
  EXPECT_EQ(settings, Settings{});
  EXPECT_EQ(sim::ReplaceCount(), 0);
  EXPECT_EQ(sim::FileBytes(kSettingsFileName), users);
  const std::wstring logged = LogText().substr(logLength);
  EXPECT_NE(logged.find(L":!Can not read Vantrel.ini, defaults in use\r"), std::wstring::npos);
  EXPECT_EQ(logged.find(L'\r'), logged.size() - 1);  // one line
}

TEST_F(StartupSettings, FileHeldOpenForAMomentIsReadOnceItIsFree) {
  const std::string users = "StartMinimized = 1\r\nCloseToTray = 1\r\n";
  sim::PutFile(kSettingsFileName, users);
  sim::MakeFileUnreadable(kSettingsFileName, 300);
  const Settings settings = LoadAndRewriteSettings(RegistryColors(L"", L"", L""), L"V");
  EXPECT_EQ(settings.StartMinimized, 1);
  EXPECT_EQ(settings.CloseToTray, 1);
  EXPECT_EQ(sim::ReplaceCount(), 1);
}

}  // namespace
