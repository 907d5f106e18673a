#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "app/main_loop.h"
#include "ui/tray.h"
#include "base/program_state.h"
#include "base/worker_slot.h"
#include "headset/device_discovery.h"
#include "headset/headset_sequences.h"
#include "headset/status_monitor.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"
#include "tests/sim/sim_tray.h"
#include "ui/controls.h"

namespace {

constexpr wchar_t kTooltipOnline[] = L"Vantrel - Headset online\rHMD: Acme";
constexpr wchar_t kTooltipOffline[] = L"Vantrel - Headset offline\rHMD: Acme";
constexpr wchar_t kTooltipNotFound[] = L"Vantrel - Headset not found";

std::optional<MenuItemLook> ItemIn(const TrayStatus& status, int item) {
  for (const MenuItemLook& look : status.items) {
    if (look.item == item) return look;
  }
  return std::nullopt;
}

StatusInputs Headset(std::uint8_t discovery, std::uint8_t headset) {
  StatusInputs inputs;
  inputs.discoveryState = discovery;
  inputs.headsetState = headset;
  inputs.headsetName = L"Acme";
  return inputs;
}

struct HeadsetCase {
  std::uint8_t discovery;
  std::uint8_t headset;
  bool known;
  int image;
  const wchar_t* tooltip;
  std::optional<MenuItemLook> startItem;
  std::optional<MenuItemLook> restartItem;
};

TEST(TrayStatusDecision, HeadsetPartForEveryStateCombination) {
  const MenuItemLook stop{kMenuStartHeadset, L"Stop WMR headset", true};
  const MenuItemLook start{kMenuStartHeadset, L"Start WMR headset", true};
  const MenuItemLook startKeptDisabled{kMenuStartHeadset, L"", false};
  const MenuItemLook restartOn{kMenuRestartHeadset, L"", true};
  const MenuItemLook restartOff{kMenuRestartHeadset, L"", false};
  const HeadsetCase cases[] = {
      {kStateUnknown, kStateUnknown, false, 0, L"", std::nullopt, std::nullopt},
      {kStateUnknown, kHeadsetOffline, false, 0, L"", std::nullopt, std::nullopt},
      {kStateUnknown, kHeadsetOnline, false, 0, L"", std::nullopt, std::nullopt},
      {kDiscoveryFound, kStateUnknown, false, 0, L"", std::nullopt, std::nullopt},
      {kDiscoveryFound, kHeadsetOffline, true, kTrayImageOffline, kTooltipOffline, start,
       restartOff},
      {kDiscoveryFound, kHeadsetOnline, true, kTrayImageOnline, kTooltipOnline, stop, restartOn},
  };
  for (const HeadsetCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "discovery " << int(c.discovery) << ", headset " << int(c.headset));
    const TrayStatus status = DecideTrayStatus(Headset(c.discovery, c.headset));
    EXPECT_EQ(status.headsetKnown, c.known);
    if (c.known) {
      EXPECT_EQ(status.headset, (HeadsetLook{c.image, c.tooltip}));
    }
    EXPECT_EQ(ItemIn(status, kMenuStartHeadset), c.startItem);
    EXPECT_EQ(ItemIn(status, kMenuRestartHeadset), c.restartItem);
  }
  // Each way of not finding the headset looks the same, whatever the last
  // online state was; item 0 keeps its text.
  for (std::uint8_t discovery : {kDiscoveryNoSensorsName, kDiscoveryNoHeadsetName,
                                 kDiscoveryNoDevice, std::uint8_t{3}, std::uint8_t{254}}) {
    for (std::uint8_t headset : {kStateUnknown, kHeadsetOffline, kHeadsetOnline}) {
      SCOPED_TRACE(testing::Message()
                   << "discovery " << int(discovery) << ", headset " << int(headset));
      const TrayStatus status = DecideTrayStatus(Headset(discovery, headset));
      EXPECT_TRUE(status.headsetKnown);
      EXPECT_EQ(status.headset, (HeadsetLook{kTrayImageNotFound, kTooltipNotFound}));
      EXPECT_EQ(ItemIn(status, kMenuStartHeadset), startKeptDisabled);
      EXPECT_EQ(ItemIn(status, kMenuRestartHeadset), restartOff);
    }
  }
}

TEST(TrayStatusDecision, SteamVRItemsFollowItsMonitorWhateverTheHeadset) {
  for (bool runs : {false, true}) {
    StatusInputs inputs = Headset(kStateUnknown, kStateUnknown);
    inputs.steamVrMonitorRuns = runs;
    const TrayStatus status = DecideTrayStatus(inputs);
    EXPECT_EQ(ItemIn(status, kMenuStartSteamVR),
              (MenuItemLook{kMenuStartSteamVR, runs ? L"Stop SteamVR" : L"Start SteamVR", true}));
    EXPECT_EQ(ItemIn(status, kMenuRestartSteamVR), (MenuItemLook{kMenuRestartSteamVR, L"", runs}));
  }
}

TEST(TrayStatusDecision, OculusItemsOnlyWhenTheyExistCheckBoxByServiceState) {
  struct Case {
    bool itemsExist;
    int serviceState;
    const wchar_t* startText;  // nullptr: the items are left alone
    bool restartEnabled;
    bool checkBoxEnabled;
  };
  const Case cases[] = {
      {false, kServiceUnknown, nullptr, false, false},
      {false, kServiceRunning, nullptr, false, true},
      {true, kServiceUnknown, L"Start Oculus Service", false, false},
      {true, kServiceStopped, L"Start Oculus Service", false, true},
      {true, 2, L"Start Oculus Service", false, true},  // start pending
      {true, kServiceRunning, L"Stop Oculus Service", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "items " << c.itemsExist << ", state " << c.serviceState);
    StatusInputs inputs = Headset(kDiscoveryFound, kHeadsetOnline);
    inputs.oculusItemsExist = c.itemsExist;
    inputs.oculusServiceState = c.serviceState;
    const TrayStatus status = DecideTrayStatus(inputs);
    if (c.startText) {
      EXPECT_EQ(ItemIn(status, kMenuStartOculus),
                (MenuItemLook{kMenuStartOculus, c.startText, true}));
      EXPECT_EQ(ItemIn(status, kMenuRestartOculus),
                (MenuItemLook{kMenuRestartOculus, L"", c.restartEnabled}));
    } else {
      EXPECT_FALSE(ItemIn(status, kMenuStartOculus));
      EXPECT_FALSE(ItemIn(status, kMenuRestartOculus));
    }
    EXPECT_EQ(status.oculusCheckBoxEnabled, c.checkBoxEnabled);
  }
}

// The monitor and the Steam rule against the simulated machine: a headset
// that the device search finds, the tray as the shell shows it.
class StatusMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ResetDiscovery();
    ResetStatusMonitor();
    ProgramSettings() = Settings{};
    sim::AddMainWindowControls();
    ASSERT_TRUE(AddTrayIcon());
    ASSERT_TRUE(BuildTrayMenu());
  }

  void PlugIn(unsigned problem) {
    ids = sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme Virtual Reality Headset", problem);
    RunDiscoveryPass();
  }

  void Poll() {
    const ProcessList processes = TakeProcessList();
    UpdateHeadsetStatus(processes);
    ApplySteamRule(processes);
  }

  static WorkerJob StartedJob() { return sim::State().workerJob; }

  // Turns the loop the way the program does until `condition` holds, at
  // most ten seconds; the time it held, -1 if it never did.
  static std::int64_t TurnUntil(const std::function<bool()>& condition) {
    const std::int64_t end = sim::NowMs() + 10000;
    while (sim::NowMs() < end) {
      RunLoopTurn(WaitForLoopEvent(50));
      if (condition()) return sim::NowMs();
    }
    return -1;
  }

  sim::HeadsetIds ids;
};

TEST_F(StatusMonitor, PollRunsEveryThreeSecondsAndSavesChangedColourFactorsOnce) {
  const ProcessId steamVr = sim::StartProcess(L"vrmonitor.exe");
  Loop().colorChanged = true;
  const std::int64_t firstPoll = TurnUntil([] { return sim::ReplaceCount() == 1; });
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartSteamVR).text, L"Stop SteamVR");
  EXPECT_FALSE(Loop().colorChanged);

  sim::EndProcess(steamVr);
  const std::int64_t secondPoll =
      TurnUntil([] { return sim::TrayMenuItem(kMenuStartSteamVR).text == L"Start SteamVR"; });
  EXPECT_GE(secondPoll - firstPoll, 2950);
  EXPECT_LE(secondPoll - firstPoll, 3050);
  EXPECT_EQ(sim::ReplaceCount(), 1) << "nothing changed since";
}

TEST_F(StatusMonitor, NothingChangesBeforeTheFirstSearchPass) {
  Poll();
  EXPECT_EQ(sim::Tray().image, kTrayImageNotFound);
  EXPECT_EQ(sim::Tray().tooltip, L"Vantrel - Headset offline");
  EXPECT_EQ(sim::Tray().windowImage, -1);
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartHeadset).text, L"Start WMR Headset");
  EXPECT_TRUE(sim::TrayMenuItem(kMenuStartHeadset).enabled);
}

TEST_F(StatusMonitor, FollowsTheHeadsetFromOfflineToOnlineToUnplugged) {
  PlugIn(sim::kProblemDisabled);
  Poll();
  EXPECT_EQ(sim::Tray().image, kTrayImageOffline);
  EXPECT_EQ(sim::Tray().windowImage, kTrayImageOffline);
  EXPECT_EQ(sim::Tray().tooltip, kTooltipOffline);
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartHeadset).text, L"Start WMR headset");
  EXPECT_FALSE(sim::TrayMenuItem(kMenuRestartHeadset).enabled);

  sim::SetDeviceNodeProblem(ids.sensors, 0);
  sim::SetDeviceNodeProblem(ids.headset, 0);
  RunDiscoveryPass();
  Poll();
  EXPECT_EQ(sim::Tray().image, kTrayImageOnline);
  EXPECT_EQ(sim::Tray().windowImage, kTrayImageOnline);
  EXPECT_EQ(sim::Tray().tooltip, kTooltipOnline);
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartHeadset).text, L"Stop WMR headset");
  EXPECT_TRUE(sim::TrayMenuItem(kMenuRestartHeadset).enabled);

  sim::UnplugHeadset(ids);
  RunDiscoveryPass();
  Poll();
  EXPECT_EQ(sim::Tray().image, kTrayImageNotFound);
  EXPECT_EQ(sim::Tray().tooltip, kTooltipNotFound);
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartHeadset).text, L"Stop WMR headset");
  EXPECT_FALSE(sim::TrayMenuItem(kMenuStartHeadset).enabled);
  EXPECT_FALSE(sim::TrayMenuItem(kMenuRestartHeadset).enabled);
}

TEST_F(StatusMonitor, MissingTrayIconIsSkippedButTheWindowIconStillFollows) {
  PlugIn(0);
  sim::DropTrayIcon();
  Poll();
  EXPECT_FALSE(sim::Tray().iconShown);
  EXPECT_EQ(sim::Tray().tooltip, L"Vantrel - Headset offline");
  EXPECT_EQ(sim::Tray().windowImage, kTrayImageOnline);
}

TEST_F(StatusMonitor, TrayFollowsVrmonitorNotTheConfiguredSteamVRProcess) {
  ProgramSettings().SteamVRProcessName = L"vrserver.exe";
  sim::StartProcess(L"vrserver.exe");
  Poll();
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartSteamVR).text, L"Start SteamVR");
  EXPECT_FALSE(sim::TrayMenuItem(kMenuRestartSteamVR).enabled);
  sim::StartProcess(L"VRMonitor.EXE");
  Poll();
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartSteamVR).text, L"Stop SteamVR");
  EXPECT_TRUE(sim::TrayMenuItem(kMenuRestartSteamVR).enabled);
}

TEST_F(StatusMonitor, OculusCheckBoxIsDisabledWhileTheServiceCannotBeQueried) {
  Poll();
  EXPECT_FALSE(sim::Control(kBoxStartOculus).enabled);
  sim::InstallService(L"OVRService", kServiceStopped);
  Poll();
  EXPECT_TRUE(sim::Control(kBoxStartOculus).enabled);
  // The menu was built without the service: no Oculus items appear.
  EXPECT_EQ(sim::TrayMenuItem(kMenuStartOculus).item, kMenuSeparator);
}

TEST_F(StatusMonitor, SteamStartsAndStopsTheHeadsetOncePerRun) {
  ProgramSettings().StartHMDwithSteam = 1;
  ProgramSettings().StopHMDwithSteam = 1;
  PlugIn(sim::kProblemDisabled);
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting());

  ProcessId steam = sim::StartProcess(L"Steam.exe");
  Poll();
  EXPECT_EQ(StartedJob(), &HeadsetStart);
  sim::State().workerJob = nullptr;  // the start has run
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting()) << "one start per run of Steam";

  sim::EndProcess(steam);
  Poll();
  EXPECT_EQ(StartedJob(), &HeadsetStop);
  EXPECT_FALSE(sim::TrayMenuItem(kMenuStartHeadset).enabled);
  EXPECT_FALSE(sim::TrayMenuItem(kMenuRestartHeadset).enabled);
  EXPECT_FALSE(sim::TrayMenuItem(kMenuExit).enabled);
  sim::State().workerJob = nullptr;
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting()) << "one stop per run of Steam";

  sim::StartProcess(L"steam.exe");
  Poll();
  EXPECT_EQ(StartedJob(), &HeadsetStart) << "a second run of Steam starts the headset again";
}

TEST_F(StatusMonitor, SteamClosedNeverStopsTheHeadsetWhenOnlyStopIsOn) {
  ProgramSettings().StopHMDwithSteam = 1;
  PlugIn(0);
  ProcessId steam = sim::StartProcess(L"steam.exe");
  Poll();
  sim::EndProcess(steam);
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting());
  EXPECT_TRUE(sim::TrayMenuItem(kMenuExit).enabled);
}

TEST_F(StatusMonitor, EverySteamRunStartsTheHeadsetWhenOnlyStartIsOn) {
  ProgramSettings().StartHMDwithSteam = 1;
  PlugIn(sim::kProblemDisabled);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ProcessId steam = sim::StartProcess(L"steam.exe");
    Poll();
    EXPECT_EQ(StartedJob(), &HeadsetStart);
    sim::State().workerJob = nullptr;
    sim::EndProcess(steam);
    Poll();
    EXPECT_FALSE(sim::WorkerWaiting());
  }
}

TEST_F(StatusMonitor, SteamStartIsSkippedForTheRunWhenTheHeadsetIsMissing) {
  ProgramSettings().StartHMDwithSteam = 1;
  ProgramSettings().StopHMDwithSteam = 1;
  const ProcessId steam = sim::StartProcess(L"steam.exe");
  RunDiscoveryPass();
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting());
  PlugIn(sim::kProblemDisabled);
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting()) << "the start is skipped for the rest of this run";
  // That run was seen while "StartHMDwithSteam" was on, so its end stops.
  sim::EndProcess(steam);
  Poll();
  EXPECT_EQ(StartedJob(), &HeadsetStop);
}

void BusyJob() {}

TEST_F(StatusMonitor, SteamStartIsSkippedWhileAWorkerRuns) {
  ProgramSettings().StartHMDwithSteam = 1;
  ProgramSettings().StopHMDwithSteam = 1;
  PlugIn(sim::kProblemDisabled);
  StartWorker(BusyJob);
  const ProcessId steam = sim::StartProcess(L"steam.exe");
  Poll();
  EXPECT_EQ(StartedJob(), &BusyJob);
  sim::State().workerJob = nullptr;
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting());
  sim::EndProcess(steam);
  StartWorker(BusyJob);
  Poll();
  EXPECT_EQ(StartedJob(), &BusyJob) << "the stop is skipped while a worker runs";
  EXPECT_TRUE(sim::TrayMenuItem(kMenuExit).enabled);
  sim::State().workerJob = nullptr;
  Poll();
  EXPECT_FALSE(sim::WorkerWaiting()) << "and not made up later";
}

}  // namespace
