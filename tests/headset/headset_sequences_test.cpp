#include <gtest/gtest.h>

#include <optional>

#include "headset/config_manager.h"
#include "headset/headset_sequences.h"
#include "tests/headset/headset_fixture.h"
#include "tests/sim/sim_registry.h"
#include "tests/sim/sim_tray.h"
#include "ui/tray.h"

namespace {

constexpr wchar_t kRunSteamVR[] = L"steam://rungameid/250820";
constexpr wchar_t kGameDvrKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\GameDVR";
constexpr wchar_t kOnline[] = L"WMR headset is now online";
constexpr wchar_t kOffline[] = L"WMR headset is now offline";
// The start's fixed waits when no Portal window shows up: the window search
// (200 x 20 ms), then 200, 500 and 500 ms.
constexpr std::int64_t kStartWaitsWithoutPortalMs = 4000 + 200 + 500 + 500;

std::vector<std::pair<std::wstring, int>> CallsWithoutTimes() {
  std::vector<std::pair<std::wstring, int>> calls;
  for (const sim::DeviceCall& call : sim::DeviceCalls())
    calls.emplace_back(call.id, call.operation);
  return calls;
}

std::vector<std::int64_t> CallTimes(const std::wstring& id) {
  std::vector<std::int64_t> times;
  for (const sim::DeviceCall& call : sim::DeviceCalls()) {
    if (call.id == id) times.push_back(call.atMs);
  }
  return times;
}

class HeadsetSequences : public HeadsetTest {
 protected:
  // A found headset in the given state, as the device search publishes it.
  sim::HeadsetIds Found(unsigned problem) {
    const auto ids = sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme Virtual Reality Headset", problem);
    RunDiscoveryPass();
    Separate();
    return ids;
  }

  std::optional<std::string> Capture() const {
    const auto value = sim::RegValueOf(kHkeyCurrentUser, kGameDvrKey, L"HistoricalCaptureEnabled");
    if (!value) return std::nullopt;
    EXPECT_EQ(value->type, kRegDword);
    return value->data;
  }
};

TEST_F(HeadsetSequences, StartWithNodesAlreadyEnabledTakesOneStepPerNode) {
  const auto ids = Found(0);
  HeadsetStart();
  const std::vector<std::pair<std::wstring, int>> expected = {{ids.headset, kEnableNode},
                                                              {ids.sensors, kEnableNode}};
  EXPECT_EQ(CallsWithoutTimes(), expected);
  EXPECT_EQ(CallTimes(ids.sensors), std::vector<std::int64_t>{200});
  EXPECT_EQ(sim::SleptMs(), 400 + kStartWaitsWithoutPortalMs);
  EXPECT_TRUE(Logged(kOnline));
  EXPECT_EQ(Loop().nextStatusPoll, 2);  // at 0.4 s: now + 2
}

TEST_F(HeadsetSequences, StartEnablesTheHeadsetNodeBeforeTheSensors) {
  const auto ids = Found(sim::kProblemDisabled);
  sim::SetDeviceReactionMs(500);
  HeadsetStart();
  // Each attempt re-sends the enable; the first takes effect at 0.5 s.
  EXPECT_EQ(CallTimes(ids.headset), (std::vector<std::int64_t>{0, 200, 400}));
  EXPECT_EQ(CallTimes(ids.sensors), (std::vector<std::int64_t>{600, 800, 1000}));
  EXPECT_EQ(DeviceNodeStatus(ids.headset), kNodeRunning);
  EXPECT_EQ(DeviceNodeStatus(ids.sensors), kNodeRunning);
  EXPECT_TRUE(Logged(kOnline));
}

TEST_F(HeadsetSequences, HeadsetNodeThatWillNotEnableLeavesTheSensorsAlone) {
  const auto ids = Found(sim::kProblemDisabled);
  sim::FailDeviceNodeEnable(ids.headset);
  HeadsetStart();
  EXPECT_EQ(CallTimes(ids.headset).size(), 50u);
  EXPECT_TRUE(CallTimes(ids.sensors).empty());
  EXPECT_EQ(sim::SleptMs(), 50 * 200 + kStartWaitsWithoutPortalMs);
  EXPECT_TRUE(Logged(L"Can not activate the headset device", true));
  EXPECT_TRUE(Logged(L"Can not activate the Hololens Sensor device", true));
  EXPECT_EQ(Count(kOnline), 0);
}

TEST_F(HeadsetSequences, SensorsThatWillNotEnableAreReported) {
  const auto ids = Found(sim::kProblemDisabled);
  sim::FailDeviceNodeEnable(ids.sensors);
  HeadsetStart();
  EXPECT_EQ(CallTimes(ids.sensors).size(), 50u);
  EXPECT_EQ(Count(L"Can not activate the headset device"), 0);
  EXPECT_TRUE(Logged(L"Can not activate the Hololens Sensor device", true));
}

TEST_F(HeadsetSequences, StartWithoutAFoundHeadsetTouchesNoNodeButRunsTheCompanions) {
  ProgramSettings().AutoStartSteamVR = 1;
  HeadsetStart();
  EXPECT_TRUE(sim::DeviceCalls().empty());
  EXPECT_TRUE(Logged(kOnline));
  EXPECT_EQ(sim::OpenedLinks(), std::vector<std::wstring>{kRunSteamVR});
  EXPECT_TRUE(ReadConfirmation(Loop().startConfirmation).pending & kSteamVrPending);
  EXPECT_EQ(ReadConfirmation(Loop().startConfirmation).deadline, 5 + 10);  // opened at 5.2 s
  EXPECT_EQ(Loop().nextStatusPoll, 0);
}

TEST_F(HeadsetSequences, StartBringsTheCompanionsAlongInOrder) {
  Found(0);
  ProgramSettings().AutoStartSteamVR = 1;
  ProgramSettings().AutoStartOculus = 1;
  sim::InstallService(L"OVRService", kServiceStopped);
  std::int64_t steamVRAt = -1;
  sim::OnShellOpen(kRunSteamVR, [&] { steamVRAt = sim::NowMs(); });
  HeadsetStart();
  ASSERT_EQ(sim::ServiceRequests().size(), 1u);
  EXPECT_FALSE(sim::ServiceRequests()[0].stop);
  EXPECT_EQ(sim::ServiceRequests()[0].atMs, 400 + 4000 + 200 + 500);
  EXPECT_EQ(steamVRAt, 400 + kStartWaitsWithoutPortalMs);
  EXPECT_TRUE(ReadConfirmation(Loop().startConfirmation).pending & kOculusPending);
  EXPECT_TRUE(ReadConfirmation(Loop().startConfirmation).pending & kSteamVrPending);
  EXPECT_EQ(ReadConfirmation(Loop().startConfirmation).deadline, 5 + 10);  // at 5.6 s
}

TEST_F(HeadsetSequences, RunningCompanionsAreNotStartedAgain) {
  Found(0);
  ProgramSettings().AutoStartSteamVR = 1;
  ProgramSettings().AutoStartOculus = 1;
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::StartProcess(L"vrmonitor.exe");
  HeadsetStart();
  EXPECT_TRUE(sim::ServiceRequests().empty());
  EXPECT_TRUE(sim::OpenedLinks().empty());
  EXPECT_EQ(ReadConfirmation(Loop().startConfirmation).deadline, 0);
}

TEST_F(HeadsetSequences, PortalWindowIsMinimisedOnceItIsVisible) {
  Found(0);
  ProgramSettings().MinimizeWMPortal = 1;
  const ProcessId portal = sim::StartProcess(L"MixedRealityPortal.exe");
  // A window of another class with the same title is not the Portal's.
  sim::OpenFrameWindow(portal, L"OtherClass", L"Mixed Reality Portal");
  const WindowHandle window =
      sim::OpenFrameWindow(portal, L"ApplicationFrameWindow", L"Mixed Reality Portal", 1000);
  HeadsetStart();
  EXPECT_TRUE(sim::FrameWindowMinimized(window));
  // Found at once at 0.4 s; tried from 0.6 s every 20 ms until it showed.
  EXPECT_EQ(sim::MinimizeRequests(window), 21);
  EXPECT_EQ(sim::SleptMs(), 400 + 200 + 20 * 20 + 500 + 500);
}

TEST_F(HeadsetSequences, PortalWindowSearchEndsWhenItOpensAndWithoutTheSettingItStays) {
  Found(0);
  const ProcessId portal = sim::StartProcess(L"MixedRealityPortal.exe");
  WindowHandle window = 0;
  sim::At(1500, [&] {
    window = sim::OpenFrameWindow(portal, L"ApplicationFrameWindow", L"Mixed Reality-Portal");
  });
  HeadsetStart();
  EXPECT_EQ(sim::MinimizeRequests(window), 0);
  EXPECT_FALSE(sim::FrameWindowMinimized(window));
  EXPECT_EQ(sim::SleptMs(), 1500 + 200 + 500 + 500);
}

TEST_F(HeadsetSequences, BackgroundRecordingIsOffWhileTheHeadsetRuns) {
  Found(sim::kProblemDisabled);
  HeadsetStart();
  EXPECT_FALSE(Capture());
  ProgramSettings().DisWinBGRecording = 1;
  HeadsetStart();
  EXPECT_EQ(Capture(), std::string(4, '\0'));
  HeadsetStop();
  EXPECT_EQ(Capture(), std::string("\x01\0\0\0", 4));
}

TEST_F(HeadsetSequences, StopDisablesTheHeadsetNodeFirstAndLogsOffline) {
  const auto ids = Found(0);
  sim::SetDeviceReactionMs(500);
  HeadsetStop();
  // Waited in 200 ms steps until the node was off, then 250 ms.
  EXPECT_EQ(CallTimes(ids.headset), std::vector<std::int64_t>{0});
  EXPECT_EQ(CallTimes(ids.sensors), std::vector<std::int64_t>{600 + 250});
  EXPECT_EQ(sim::SleptMs(), 600 + 250 + 600);
  EXPECT_EQ(DeviceNodeStatus(ids.headset), kNodeDisabled);
  EXPECT_EQ(DeviceNodeStatus(ids.sensors), kNodeDisabled);
  EXPECT_TRUE(Logged(kOffline));
  EXPECT_EQ(Loop().nextStatusPoll, 0);
}

TEST_F(HeadsetSequences, StopWaitCounterGivesTheFirstAttemptElevenStepsAndLaterOnesOne) {
  const auto ids = Found(0);
  sim::SetDeviceReactionMs(2500);
  HeadsetStop();
  // Not reset between attempts: 11 steps, then one step per new attempt
  // until the first disable takes effect at 2.5 s.
  EXPECT_EQ(CallTimes(ids.headset), (std::vector<std::int64_t>{0, 2200, 2400}));
}

TEST_F(HeadsetSequences, HeadsetNodeThatWillNotDisableIsReportedAndTheSensorsStayOn) {
  const auto ids = Found(0);
  sim::FailDeviceNodeDisable(ids.headset);
  HeadsetStop();
  const auto times = CallTimes(ids.headset);
  ASSERT_EQ(times.size(), 50u);
  EXPECT_EQ(times[1], 2200);
  EXPECT_EQ(times[49], 2200 + 48 * 200);
  EXPECT_EQ(sim::SleptMs(), (11 + 49) * 200 + 250);
  EXPECT_TRUE(CallTimes(ids.sensors).empty());
  EXPECT_TRUE(Logged(L"Can not deactivate the headset device", true));
  EXPECT_TRUE(Logged(L"Can not deactivate the Hololens Sensor device", true));
  EXPECT_EQ(Count(kOffline), 0);
}

TEST_F(HeadsetSequences, SensorsCounterStartsAfreshAfterTheHeadsetNode) {
  const auto ids = Found(0);
  sim::SetDeviceReactionMs(2500);
  HeadsetStop();
  // The headset node took 2.6 s; the sensors get 11 steps of their own.
  EXPECT_EQ(CallTimes(ids.sensors), (std::vector<std::int64_t>{2850, 2850 + 2200, 2850 + 2400}));
  EXPECT_TRUE(Logged(kOffline));
}

TEST_F(HeadsetSequences, PortalIsGoneBeforeAnyNodeIsDisabled) {
  const auto ids = Found(0);
  const ProcessId portal = sim::StartProcess(L"MixedRealityPortal.exe");
  sim::ProtectProcess(portal);  // it takes a while to end
  sim::At(450, [portal] { sim::EndProcess(portal); });
  HeadsetStop();
  EXPECT_EQ(CallTimes(ids.headset), std::vector<std::int64_t>{500});
  EXPECT_TRUE(Logged(kOffline));
}

TEST_F(HeadsetSequences, PortalThatNeverEndsNoLongerBlocksTheStop) {
  const auto ids = Found(0);
  sim::ProtectProcess(sim::StartProcess(L"MixedRealityPortal.exe"));
  HeadsetStop();
  EXPECT_TRUE(Logged(L"Can not close the Mixed Reality Portal", true));
  EXPECT_EQ(CallTimes(ids.headset), std::vector<std::int64_t>{10000});
  EXPECT_EQ(DeviceNodeStatus(ids.sensors), kNodeDisabled);
  EXPECT_TRUE(Logged(kOffline));
}

TEST_F(HeadsetSequences, StopEndsSteamVRAndTheServiceWhenAskedTo) {
  Found(0);
  ProgramSettings().AutoStartSteamVR = 1;
  ProgramSettings().AutoStartOculus = 1;
  sim::InstallService(L"OVRService", kServiceRunning);
  const ProcessId steamVR = sim::StartProcess(L"vrmonitor.exe");
  HeadsetStop();
  EXPECT_FALSE(sim::IsRunning(steamVR));
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceStopped);
  EXPECT_TRUE(ReadConfirmation(Loop().stopConfirmation).pending & kSteamVrPending);
  EXPECT_TRUE(ReadConfirmation(Loop().stopConfirmation).pending & kOculusPending);
  EXPECT_EQ(ReadConfirmation(Loop().stopConfirmation).deadline, 10);
}

TEST_F(HeadsetSequences, StopLeavesCompanionsThatAreNotRunningAlone) {
  Found(0);
  ProgramSettings().AutoStartSteamVR = 1;
  ProgramSettings().AutoStartOculus = 1;
  sim::InstallService(L"OVRService", kServiceStopped);
  HeadsetStop();
  EXPECT_TRUE(sim::ServiceRequests().empty());
  EXPECT_FALSE(ReadConfirmation(Loop().stopConfirmation).pending & kSteamVrPending);
  EXPECT_FALSE(ReadConfirmation(Loop().stopConfirmation).pending & kOculusPending);
  EXPECT_EQ(ReadConfirmation(Loop().stopConfirmation).deadline, 0);
}

TEST_F(HeadsetSequences, StopEnablesExitAgainAndTurnsTheRestartMarkerIntoADeadline) {
  Found(0);
  sim::InstallService(L"OVRService", kServiceStopped);
  ASSERT_TRUE(BuildTrayMenu());
  EnableTrayMenuItem(kMenuExit, false);
  Loop().headsetRestartDeadline = kHeadsetRestartMarker;
  sim::AdvanceMs(3700);
  HeadsetStop();
  EXPECT_TRUE(sim::TrayMenuItem(kMenuExit).enabled);
  EXPECT_EQ(Loop().headsetRestartDeadline, 3 + 1);
}

TEST_F(HeadsetSequences, StopWithoutARestartLeavesTheDeadlineAlone) {
  Found(0);
  HeadsetStop();
  EXPECT_EQ(Loop().headsetRestartDeadline, -1);
}

}  // namespace
