#include <gtest/gtest.h>

#include <vector>

#include "app/main_loop.h"
#include "base/program_state.h"
#include "headset/device_discovery.h"
#include "headset/status_monitor.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_tray.h"
#include "ui/tray.h"

namespace {

std::vector<int> Identifiers(const std::vector<MenuItemLook>& menu) {
  std::vector<int> ids;
  for (const MenuItemLook& entry : menu) ids.push_back(entry.item);
  return ids;
}

constexpr int kSep = kMenuSeparator;

class Tray : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ResetDiscovery();
    ResetStatusMonitor();
    ProgramSettings() = Settings{};
  }

  void StartTray() {
    ASSERT_TRUE(AddTrayIcon());
    ASSERT_TRUE(BuildTrayMenu());
  }

  // Turns the loop the way the program does: wait up to 50 ms, then a turn.
  static void TurnUntil(std::int64_t untilMs) {
    while (sim::NowMs() < untilMs) RunLoopTurn(WaitForLoopEvent(50));
  }
  static void Turn() { RunLoopTurn(WaitForLoopEvent(50)); }
};

TEST_F(Tray, MenuWithoutTheOculusServiceHasNoOculusGroup) {
  StartTray();
  EXPECT_EQ(Identifiers(sim::Tray().menu),
            (std::vector<int>{0, 1, kSep, 3, 4, kSep, 7, 8, 9, kSep, 10, kSep, 11}));
  EXPECT_FALSE(OculusItemsExist());
  EXPECT_EQ(sim::TrayMenuItem(kMenuExit).text, L"Exit");
}

TEST_F(Tray, MenuWithTheOculusServiceNamedInTheSettings) {
  ProgramSettings().OculusServiceName = L"RiftService";
  sim::InstallService(L"RiftService", kServiceStopped);
  StartTray();
  EXPECT_EQ(Identifiers(sim::Tray().menu),
            (std::vector<int>{0, 1, kSep, 3, 4, kSep, 5, 6, kSep, 7, 8, 9, kSep, 10, kSep, 11}));
  EXPECT_TRUE(OculusItemsExist());
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartOculus).text, L"Start Oculus Service");
  EXPECT_EQ(sim::TrayMenuItem(kMenuRestartOculus).text, L"Restart Oculus Service");
}

TEST_F(Tray, UnreachableServiceManagerMeansNoOculusGroup) {
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::RefuseServiceManager();
  StartTray();
  EXPECT_FALSE(OculusItemsExist());
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartOculus).item, kMenuSeparator);
}

TEST_F(Tray, RightClickOpensTheMenuDoubleClickShowsTheWindow) {
  StartTray();
  sim::QueueEvent(LoopEvent{kTrayEvent, 0, kTrayRightClick});
  Turn();
  EXPECT_EQ(sim::Tray().menuOpens, 1);
  EXPECT_FALSE(sim::MainWindowVisible());
  sim::QueueEvent(LoopEvent{kTrayEvent, 0, kTrayDoubleClick});
  Turn();
  EXPECT_TRUE(sim::MainWindowVisible());
  EXPECT_EQ(sim::Tray().menuOpens, 1);
}

TEST_F(Tray, TaskbarReCreationBringsTheIconBackRedAndTheNextTurnCorrectsIt) {
  StartTray();
  sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme", 0);
  RunDiscoveryPass();
  TurnUntil(4000);
  ASSERT_EQ(sim::Tray().image, kTrayImageOnline);
  const int adds = sim::Tray().adds;

  // Explorer restarted and broadcast its new taskbar; the program cannot
  // tell whether the old icon survived, so it adds it afresh.
  sim::QueueEvent(LoopEvent{kTrayReAddEvent, 0, 0});
  Turn();
  EXPECT_EQ(sim::Tray().adds, adds + 1);
  EXPECT_TRUE(sim::Tray().iconShown);
  // The forced poll of that same turn already gives it its colour again.
  EXPECT_EQ(sim::Tray().image, kTrayImageOnline);
  EXPECT_EQ(sim::Tray().tooltip, L"Vantrel - Headset online\rHMD: Acme");
}

TEST_F(Tray, ReAddWhileStatesAreUnknownLeavesTheStartUpLook) {
  StartTray();
  sim::QueueEvent(LoopEvent{kTrayReAddEvent, 0, 0});
  Turn();
  EXPECT_TRUE(sim::Tray().iconShown);
  EXPECT_EQ(sim::Tray().adds, 2);
  EXPECT_EQ(sim::Tray().image, kTrayImageNotFound);
  EXPECT_EQ(sim::Tray().tooltip, L"Vantrel - Headset offline");
}

TEST_F(Tray, IconWatchAddsAVanishedIconAgainWithinOneTurn) {
  StartTray();
  sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme", sim::kProblemDisabled);
  RunDiscoveryPass();
  TurnUntil(4000);
  ASSERT_EQ(sim::Tray().image, kTrayImageOffline);
  sim::DropTrayIcon();
  Turn();
  EXPECT_TRUE(sim::Tray().iconShown);
  EXPECT_EQ(sim::Tray().image, kTrayImageOffline);
}

TEST_F(Tray, IconRefusedAtStartUpComesOnceTheTaskbarExists) {
  sim::RefuseTrayIcons(true);
  EXPECT_FALSE(AddTrayIcon());
  ASSERT_TRUE(BuildTrayMenu());
  sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme", sim::kProblemDisabled);
  RunDiscoveryPass();
  TurnUntil(3100);  // the first poll has run
  // While the shell refuses, the watch does not force a poll every turn.
  const std::int64_t later = Loop().now + 100;
  Loop().nextStatusPoll = later;
  Turn();
  EXPECT_EQ(Loop().nextStatusPoll, later);
  EXPECT_FALSE(sim::Tray().iconShown);

  sim::RefuseTrayIcons(false);
  Turn();
  EXPECT_TRUE(sim::Tray().iconShown);
  EXPECT_EQ(sim::Tray().image, kTrayImageOffline);
}

}  // namespace
