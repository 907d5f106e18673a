#include <gtest/gtest.h>

#include <string>

#include "app/main_loop.h"
#include "ui/tray.h"
#include "base/program_state.h"
#include "base/worker_slot.h"
#include "tests/sim/sim.h"
#include "base/event_log.h"
#include "ui/main_window.h"

namespace {

constexpr wchar_t kRunSteamVR[] = L"steam://rungameid/250820";

class MainLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ProgramSettings() = Settings{};
    OpenVRSettingsPath().clear();
    // The log lives for the whole process: each test reads only its own
    // part. A line holding ":" is never taken for a repeat, so the first
    // line of a test is never dropped as a repeat of the last test's.
    AddLogLine(L"test: start", 0);
    logStart = LogText().size();
  }

  // Turns the loop the way the program does: wait up to 50 ms, then a turn.
  bool TurnUntil(std::int64_t untilMs) {
    while (sim::NowMs() < untilMs) {
      if (RunLoopTurn(WaitForLoopEvent(50))) return true;
    }
    return false;
  }

  static void Choose(int item) { sim::QueueEvent(LoopEvent{kMenuEvent, item, 0}); }

  int Count(const std::wstring& message) const {
    const std::wstring log = LogText().substr(logStart);
    int count = 0;
    for (size_t at = log.find(message); at != std::wstring::npos; at = log.find(message, at + 1)) {
      ++count;
    }
    return count;
  }

  // Time at which `message` first shows in the log, turning until `untilMs`.
  size_t logStart = 0;

  std::int64_t TimeOfFirst(const std::wstring& message, std::int64_t untilMs) {
    while (sim::NowMs() < untilMs) {
      RunLoopTurn(WaitForLoopEvent(50));
      if (Count(message) > 0) return sim::NowMs();
    }
    return -1;
  }
};

TEST_F(MainLoop, SteamVRThatComesUpIsConfirmedOnce) {
  sim::OnShellOpen(kRunSteamVR, [] {
    sim::At(sim::NowMs() + 4000, [] { sim::StartProcess(L"vrmonitor.exe"); });
  });
  Choose(kMenuStartSteamVR);
  TurnUntil(30000);
  EXPECT_EQ(sim::OpenedLinks(), std::vector<std::wstring>{kRunSteamVR});
  EXPECT_EQ(Count(L"SteamVR started..."), 1);
  EXPECT_EQ(Count(L"Can not start SteamVR"), 0);
}

TEST_F(MainLoop, SteamVRThatNeverComesUpIsReportedAboutElevenSecondsLater) {
  sim::AdvanceMs(200);  // the command comes within a second, not on its boundary
  Choose(kMenuStartSteamVR);
  const std::int64_t failedAt = TimeOfFirst(L"Can not start SteamVR", 30000);
  EXPECT_GE(failedAt, 11000);
  EXPECT_LE(failedAt, 11100);
  EXPECT_NE(LogText().find(L":!Can not start SteamVR\r"), std::wstring::npos);
  TurnUntil(40000);
  EXPECT_EQ(Count(L"Can not start SteamVR"), 1);
  EXPECT_EQ(Count(L"SteamVR started..."), 0);
}

TEST_F(MainLoop, StartSteamVRWhileItRunsEndsItAndConfirmsTheStop) {
  const ProcessId steamVR = sim::StartProcess(L"vrmonitor.exe");
  Choose(kMenuStartSteamVR);
  TurnUntil(12000);
  EXPECT_FALSE(sim::IsRunning(steamVR));
  EXPECT_TRUE(sim::OpenedLinks().empty());
  EXPECT_EQ(Count(L"SteamVR closed"), 1);
  EXPECT_EQ(Count(L"Can not close SteamVR"), 0);
}

TEST_F(MainLoop, SteamVRThatWillNotEndIsReportedNotClosed) {
  sim::ProtectProcess(sim::StartProcess(L"vrmonitor.exe"));
  Choose(kMenuStartSteamVR);
  TurnUntil(15000);
  EXPECT_EQ(Count(L"SteamVR closed"), 0);
  EXPECT_EQ(Count(L"Can not close SteamVR"), 1);
}

TEST_F(MainLoop, RestartSteamVRStartsItAgainOnlyOnceItIsGoneAndNotBeforeTwoSeconds) {
  std::vector<std::int64_t> startedAt;
  sim::OnShellOpen(kRunSteamVR, [&] { startedAt.push_back(sim::NowMs()); });
  sim::StartProcess(L"vrmonitor.exe");
  Choose(kMenuRestartSteamVR);
  TurnUntil(10000);
  ASSERT_EQ(startedAt.size(), 1u);
  EXPECT_GE(startedAt[0], 2000);
  EXPECT_LT(startedAt[0], 3000);
}

TEST_F(MainLoop, RestartSteamVRWaitsWhileTheProcessLingers) {
  std::vector<std::int64_t> startedAt;
  sim::OnShellOpen(kRunSteamVR, [&] { startedAt.push_back(sim::NowMs()); });
  const ProcessId steamVR = sim::StartProcess(L"vrmonitor.exe");
  sim::ProtectProcess(steamVR);
  sim::At(6500, [steamVR] { sim::EndProcess(steamVR); });
  Choose(kMenuRestartSteamVR);
  TurnUntil(12000);
  // Looked at again every two seconds: at 6 s it still ran, at 8 s it is gone.
  ASSERT_EQ(startedAt.size(), 1u);
  EXPECT_GE(startedAt[0], 8000);
  EXPECT_LT(startedAt[0], 8100);
}

TEST_F(MainLoop, RestartSteamVRActsOnlyWhileItsMonitorRunsWhateverTheProcessName) {
  ProgramSettings().SteamVRProcessName = L"steamvr_custom.exe";
  const ProcessId custom = sim::StartProcess(L"steamvr_custom.exe");
  Choose(kMenuRestartSteamVR);
  TurnUntil(5000);
  EXPECT_TRUE(sim::IsRunning(custom));
  EXPECT_TRUE(sim::OpenedLinks().empty());

  sim::StartProcess(L"vrmonitor.exe");
  Choose(kMenuRestartSteamVR);
  TurnUntil(10000);
  EXPECT_FALSE(sim::IsRunning(custom));
  EXPECT_EQ(sim::OpenedLinks(), std::vector<std::wstring>{kRunSteamVR});
}

// Summer time ends at 3:00 and the clock goes back an hour; later a time
// sync sets it forward an hour. Neither holds up nor hurries a deadline.
TEST_F(MainLoop, WallClockJumpsNeitherHoldUpNorHurryTheDeadlines) {
  sim::SetTimeOfDay(2, 59, 55);
  sim::AdvanceMs(200);
  Choose(kMenuStartSteamVR);
  sim::At(5000, [] { sim::ShiftWallClock(-3600); });
  EXPECT_EQ(TimeOfFirst(L"Can not start SteamVR", 20000) / 1000, 11);
  // The log still tells the time the user's clock shows.
  EXPECT_NE(LogText().find(L"02:00:06:!Can not start SteamVR\r"), std::wstring::npos);
  // The status poll goes on every three seconds: a changed colour is saved.
  Loop().colorChanged = true;
  TurnUntil(15000);
  EXPECT_FALSE(Loop().colorChanged);

  AddLogLine(L"test: again", 0);  // the log drops a repeat of its last line
  logStart = LogText().size();
  Choose(kMenuStartSteamVR);
  sim::At(17000, [] { sim::ShiftWallClock(3600); });
  EXPECT_EQ(TimeOfFirst(L"Can not start SteamVR", 40000) / 1000, 26);
}

// The poll asks about Steam and SteamVR's monitor; a snapshot copies the
// whole process table, so both read one.
TEST_F(MainLoop, AStatusPollTakesOneProcessSnapshot) {
  sim::StartProcess(L"steam.exe");
  TurnUntil(3000);
  const int before = sim::CountedCalls().processSnapshots;
  TurnUntil(9000);  // two polls, three seconds apart
  EXPECT_EQ(sim::CountedCalls().processSnapshots - before, 2);
}

void SlowWorker() {}

TEST_F(MainLoop, ExitWaitsForTheHeadsetWorkerButNotForOneThatHangs) {
  ASSERT_TRUE(StartWorker(SlowWorker));
  Choose(kMenuExit);
  EXPECT_FALSE(TurnUntil(5000));
  sim::FinishWorker();
  EXPECT_TRUE(RunLoopTurn(LoopEvent{}));

  ResetLoopState();
  ASSERT_TRUE(StartWorker(SlowWorker));
  Choose(kMenuExit);  // at 5 s
  EXPECT_FALSE(TurnUntil(45000));
  EXPECT_TRUE(TurnUntil(47000));
}

TEST_F(MainLoop, CloseButtonHidesToTrayOrEndsByTheSetting) {
  ShowMainWindow();
  ProgramSettings().CloseToTray = 1;
  sim::QueueEvent(LoopEvent{kCloseButtonEvent, 0, 0});
  EXPECT_FALSE(TurnUntil(1000));
  EXPECT_FALSE(sim::MainWindowVisible());

  Choose(kMenuShowAppWindow);
  EXPECT_FALSE(TurnUntil(2000));
  EXPECT_TRUE(sim::MainWindowVisible());

  ProgramSettings().CloseToTray = 0;
  sim::QueueEvent(LoopEvent{kCloseButtonEvent, 0, 0});
  EXPECT_TRUE(TurnUntil(3000));
}

TEST_F(MainLoop, SettingsPagesFallBackToTheirStorePages) {
  sim::FailShellOpen(L"ms-settings:holographic");
  Choose(kMenuWindowsWmrSettings);
  Choose(kMenuOpenXrWmrSettings);
  Choose(kMenuSteamVrWmrSettings);  // nothing found: straight to the store
  TurnUntil(1000);
  const std::vector<std::wstring> expected = {
      L"ms-settings:holographic",
      L"ms-windows-store://pdp/?ProductId=9ng1h8b3zc7m",
      L"shell:AppsFolder\\Microsoft.MixedRealityRuntimeDeveloperPreview_8wekyb3d8bbwe!App",
      L"steam://openurl/https://store.steampowered.com/app/719950/",
  };
  EXPECT_EQ(sim::OpenedLinks(), expected);
}

TEST_F(MainLoop, SteamVRWmrSettingsOpensTheFoundProgram) {
  OpenVRSettingsPath() = L"C:\\Steam\\OpenVRSettingsUX.exe";
  Choose(kMenuSteamVrWmrSettings);
  TurnUntil(200);
  EXPECT_EQ(sim::OpenedLinks(), std::vector<std::wstring>{L"C:\\Steam\\OpenVRSettingsUX.exe"});
}

}  // namespace
