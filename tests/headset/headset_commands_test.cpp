#include <gtest/gtest.h>

#include "base/worker_slot.h"
#include "headset/config_manager.h"
#include "headset/headset_sequences.h"
#include "tests/sim/sim_tray.h"
#include "tests/headset/headset_fixture.h"
#include "ui/tray.h"

namespace {

constexpr wchar_t kOnline[] = L"WMR headset is now online";
constexpr wchar_t kOffline[] = L"WMR headset is now offline";

class HeadsetCommands : public HeadsetTest {
 protected:
  void SetUp() override {
    HeadsetTest::SetUp();
    sim::InstallService(L"OVRService", kServiceStopped);
    ASSERT_TRUE(BuildTrayMenu());
  }

  sim::HeadsetIds Found(unsigned problem) {
    const auto ids = sim::PlugInHeadset(L"5&2C&0&4", L"Acme", problem);
    RunDiscoveryPass();
    return ids;
  }

  static void Choose(int item) { sim::QueueEvent(LoopEvent{kMenuEvent, item, 0}); }

  // Turns the loop the way the program does: wait up to 50 ms, then a turn.
  static void Turn() { RunLoopTurn(WaitForLoopEvent(50)); }

  static void TurnUntil(std::int64_t untilMs) {
    while (sim::NowMs() < untilMs) Turn();
  }

  // Turns until the loop has started a worker; false if it did not by then.
  static bool TurnUntilWorker(std::int64_t untilMs) {
    while (!sim::WorkerWaiting()) {
      if (sim::NowMs() >= untilMs) return false;
      Turn();
    }
    return true;
  }

  static bool ItemEnabled(int item) { return sim::TrayMenuItem(item).enabled; }

  // When `message` first shows in the log, turning until `untilMs`.
  std::int64_t TimeOfFirst(const std::wstring& message, std::int64_t untilMs) {
    while (sim::NowMs() < untilMs) {
      Turn();
      if (Count(message) > 0) return sim::NowMs();
    }
    return -1;
  }
};

TEST_F(HeadsetCommands, StartCommandStartsAnOfflineHeadset) {
  const auto ids = Found(sim::kProblemDisabled);
  Choose(kMenuStartHeadset);
  ASSERT_TRUE(TurnUntilWorker(100));
  EXPECT_TRUE(ItemEnabled(kMenuExit));
  sim::FinishWorker();
  EXPECT_EQ(DeviceNodeStatus(ids.headset), kNodeRunning);
  EXPECT_EQ(DeviceNodeStatus(ids.sensors), kNodeRunning);
  EXPECT_TRUE(Logged(kOnline));
}

TEST_F(HeadsetCommands, StartCommandOnAnOnlineHeadsetStopsItWithTheItemsDisabled) {
  const auto ids = Found(0);
  Choose(kMenuStartHeadset);
  ASSERT_TRUE(TurnUntilWorker(100));
  for (int item : {kMenuStartHeadset, kMenuRestartHeadset, kMenuExit}) {
    EXPECT_FALSE(ItemEnabled(item)) << item;
  }
  EXPECT_TRUE(ItemEnabled(kMenuStartSteamVR));
  sim::FinishWorker();
  EXPECT_EQ(DeviceNodeStatus(ids.headset), kNodeDisabled);
  EXPECT_TRUE(Logged(kOffline));
  EXPECT_TRUE(ItemEnabled(kMenuExit));
}

TEST_F(HeadsetCommands, HeadsetCommandsNeedAFoundHeadsetAKnownStateAndAFreeSlot) {
  Choose(kMenuStartHeadset);  // nothing known yet
  Choose(kMenuRestartHeadset);
  TurnUntil(500);
  EXPECT_FALSE(sim::WorkerWaiting());
  EXPECT_EQ(Loop().headsetRestartDeadline, -1);

  RunDiscoveryPass();  // no headset: state 4
  Choose(kMenuStartHeadset);
  Choose(kMenuRestartHeadset);
  TurnUntil(1000);
  EXPECT_FALSE(sim::WorkerWaiting());
  EXPECT_EQ(Loop().headsetRestartDeadline, -1);

  Found(0);
  ASSERT_TRUE(StartWorker(HeadsetStart));
  Choose(kMenuStartHeadset);
  TurnUntil(1500);
  sim::FinishWorker();
  EXPECT_FALSE(sim::WorkerWaiting());  // no stop was queued behind the start
  EXPECT_TRUE(ItemEnabled(kMenuExit));
  EXPECT_TRUE(sim::DeviceCalls().empty() || sim::DeviceCalls().back().operation == kEnableNode);
}

TEST_F(HeadsetCommands, RestartStopsThenStartsAtLeastOneSecondAfterTheOfflineLine) {
  // Whatever the fraction of a second at which the stop ends.
  for (std::int64_t commandAtMs = 0; commandAtMs < 1000; commandAtMs += 50) {
    SCOPED_TRACE(commandAtMs);
    SetUp();
    const auto ids = Found(0);
    sim::AdvanceMs(commandAtMs);
    Choose(kMenuRestartHeadset);
    ASSERT_TRUE(TurnUntilWorker(commandAtMs + 100));
    EXPECT_FALSE(ItemEnabled(kMenuRestartHeadset));
    sim::FinishWorker();
    const std::int64_t offlineAt = sim::NowMs();
    ASSERT_TRUE(Logged(kOffline));
    ASSERT_EQ(DeviceNodeStatus(ids.sensors), kNodeDisabled);
    const size_t stopCalls = sim::DeviceCalls().size();

    ASSERT_TRUE(TurnUntilWorker(offlineAt + 3000));
    EXPECT_EQ(sim::DeviceCalls().size(), stopCalls);
    const std::int64_t startAt = sim::NowMs();
    EXPECT_GE(startAt, offlineAt + 1000);
    EXPECT_LE(startAt, offlineAt + 2100);
    EXPECT_EQ(Loop().headsetRestartDeadline, -1);
    sim::FinishWorker();
    EXPECT_EQ(sim::DeviceCalls()[stopCalls].atMs, startAt);
    EXPECT_EQ(sim::DeviceCalls()[stopCalls].operation, kEnableNode);
    EXPECT_TRUE(Logged(kOnline));
    EXPECT_LT(Log().find(kOffline), Log().find(kOnline));
  }
}

TEST_F(HeadsetCommands, RestartWhileAWorkerRunsIsIgnoredAndALaterStopStaysAStop) {
  Found(0);
  ASSERT_TRUE(StartWorker(HeadsetStart));
  Choose(kMenuRestartHeadset);
  TurnUntil(200);
  EXPECT_EQ(Loop().headsetRestartDeadline, -1);
  sim::FinishWorker();
  StartHeadsetStop();
  ASSERT_TRUE(sim::WorkerWaiting());
  sim::FinishWorker();
  TurnUntil(5000);
  EXPECT_FALSE(sim::WorkerWaiting());
}

TEST_F(HeadsetCommands, RestartFindsTheHeadsetGoneAndStartsNothing) {
  const auto ids = Found(0);
  Choose(kMenuRestartHeadset);
  ASSERT_TRUE(TurnUntilWorker(100));
  sim::FinishWorker();
  sim::UnplugHeadset(ids);
  RunDiscoveryPass();
  TurnUntil(5000);
  EXPECT_FALSE(sim::WorkerWaiting());
  EXPECT_EQ(Loop().headsetRestartDeadline, -1);
}

TEST_F(HeadsetCommands, OculusServiceIsStartedAndConfirmedOnce) {
  sim::SetServiceReactionMs(3000);
  Choose(kMenuStartOculus);
  TurnUntil(20000);
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceRunning);
  EXPECT_EQ(Count(L"Oculus Service started..."), 1);
  EXPECT_EQ(Count(L"Can not start Oculus Service"), 0);
  EXPECT_EQ(ReadConfirmation(Loop().startConfirmation).deadline, 0);
}

TEST_F(HeadsetCommands, OculusServiceThatDoesNotStartIsReportedAboutElevenSecondsLater) {
  sim::FailServiceStart(L"OVRService");
  sim::AdvanceMs(200);
  Choose(kMenuStartOculus);
  const std::int64_t failedAt = TimeOfFirst(L"Can not start Oculus Service", 30000);
  EXPECT_GE(failedAt, 11000);
  EXPECT_LE(failedAt, 11100);
  EXPECT_TRUE(Logged(L"Can not start Oculus Service", true));
  EXPECT_EQ(Count(L"Oculus Service started..."), 0);
}

TEST_F(HeadsetCommands, RunningOculusServiceIsStoppedAndConfirmed) {
  sim::InstallService(L"OVRService", kServiceRunning);
  Choose(kMenuStartOculus);
  TurnUntil(12000);
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceStopped);
  EXPECT_EQ(Count(L"Oculus Service stopped"), 1);
  EXPECT_EQ(Count(L"Can not stop Oculus Service"), 0);
}

TEST_F(HeadsetCommands, OculusServiceThatWillNotStopIsReported) {
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::RefuseServiceStop(L"OVRService");
  Choose(kMenuStartOculus);
  TurnUntil(15000);
  EXPECT_EQ(Count(L"Oculus Service stopped"), 0);
  EXPECT_TRUE(Logged(L"Can not stop Oculus Service", true));
}

TEST_F(HeadsetCommands, DependantStillStoppingMakesTheStopFailButTheWindowWatches) {
  sim::InstallService(L"OVRService", kServiceRunning, {L"OVRLibraryService"});
  sim::InstallService(L"OVRLibraryService", kServiceRunning);
  sim::SetServiceReactionMs(1500);
  Choose(kMenuStartOculus);
  TurnUntil(15000);
  // The dependant stopped, the service itself got no second chance.
  EXPECT_EQ(sim::ServiceStateOf(L"OVRLibraryService"), kServiceStopped);
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceRunning);
  EXPECT_TRUE(Logged(L"Can not stop Oculus Service", true));
}

TEST_F(HeadsetCommands, RestartOculusStartsTheServiceAgainOnceItHasStopped) {
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::SetServiceReactionMs(2500);
  sim::AdvanceMs(300);
  Choose(kMenuRestartOculus);
  TurnUntil(10000);
  const auto& requests = sim::ServiceRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[0].stop);
  EXPECT_FALSE(requests[1].stop);
  // Stopped at 2.8 s; still stopping when looked at in second 2, so looked
  // at again once second 3 had passed.
  EXPECT_EQ(requests[1].atMs / 1000, 4);
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceRunning);
  EXPECT_EQ(Loop().oculusRestartDeadline, -1);
}

TEST_F(HeadsetCommands, RestartOculusDoesNothingWhileTheServiceIsNotRunning) {
  Choose(kMenuRestartOculus);
  TurnUntil(5000);
  EXPECT_TRUE(sim::ServiceRequests().empty());
  EXPECT_EQ(Loop().oculusRestartDeadline, -1);
}

// The loop goes on turning while the worker sleeps between its steps. A
// window opened earlier that expires just after the worker started the
// service must not report that start failed.
TEST_F(HeadsetCommands, EarlierWindowExpiringDuringAStartLeavesTheNewStartPending) {
  ProgramSettings().AutoStartOculus = 1;
  sim::SetServiceReactionMs(2000);
  Choose(kMenuStartSteamVR);  // its window ends after 10 s; SteamVR never comes up
  TurnUntil(6000);
  // Without a found headset the start reaches the service at 10.7 s.
  sim::At(11000, [] { RunLoopTurn(LoopEvent{}); });
  HeadsetStart();
  TurnUntil(30000);
  EXPECT_EQ(Count(L"Can not start SteamVR"), 1);
  EXPECT_EQ(Count(L"Can not start Oculus Service"), 0);
  EXPECT_EQ(Count(L"Oculus Service started..."), 1);
}

TEST_F(HeadsetCommands, OneWindowConfirmsOneCompanionAndReportsTheOther) {
  Found(sim::kProblemDisabled);
  ProgramSettings().AutoStartSteamVR = 1;
  ProgramSettings().AutoStartOculus = 1;
  sim::SetServiceReactionMs(1000);
  Choose(kMenuStartHeadset);
  ASSERT_TRUE(TurnUntilWorker(100));
  sim::FinishWorker();  // SteamVR never comes up
  TurnUntil(30000);
  EXPECT_EQ(Count(L"Oculus Service started..."), 1);
  EXPECT_EQ(Count(L"Can not start SteamVR"), 1);
  EXPECT_EQ(Count(L"Can not start Oculus Service"), 0);
}

}  // namespace
