// The device search, the main loop and the headset worker each run on a
// thread of their own, as in the program, against the simulated machine.
// Run under the thread sanitizer (preset host-tsan), this shows that they
// share the published headset state, the loop's deadlines and flags, the
// settings the check boxes change and the log without a data race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/clock.h"
#include "headset/config_manager.h"
#include "tests/headset/headset_fixture.h"
#include "tests/sim/sim_controls.h"
#include "app/control_actions.h"
#include "ui/controls.h"
#include "ui/tray.h"

namespace {

// Simulated time, which every thread's sleeps move on: far more than a
// start or a stop takes.
constexpr std::int64_t kWaitLimitMs = 120000;
// The check boxes whose flags the sequences read.
constexpr int kWorkerBoxes[] = {kBoxStartSteamVR, kBoxStartOculus, kBoxMinimizePortal,
                                kBoxBackgroundRecording};

using HeadsetThreads = HeadsetTest;

// Turns the loop until `done`, the user ticking and unticking the boxes
// the running worker reads; false if it never came.
template <typename Done>
bool TurnWhileClicking(Done done) {
  const std::int64_t until = sim::NowMs() + kWaitLimitMs;
  for (int turn = 0; sim::NowMs() < until; ++turn) {
    if (done()) return true;
    // Most turns wait for an event that does not come, as the loop does.
    if (turn % 3 == 0) sim::ClickControl(kWorkerBoxes[turn / 3 % 4]);
    RunLoopTurn(WaitForLoopEvent(50));
  }
  return false;
}

TEST_F(HeadsetThreads, LoopSearchAndSequencesShareTheStateSafely) {
  sim::RunWorkersOnThreads();
  const auto ids = sim::PlugInHeadset(L"1", L"Acme Virtual Reality Headset");
  sim::InstallService(L"OVRService", kServiceStopped);
  sim::AddMainWindowControls();
  SetInitialControlStates();
  ASSERT_TRUE(BuildTrayMenu());
  RunDiscoveryPass();

  std::atomic<bool> searching{true};
  std::thread search([&] {
    while (searching) {
      RunDiscoveryPass();
      SleepMs(200);
    }
  });

  const auto online = [] { return !sim::WorkerWaiting() && HeadsetState() == kHeadsetOnline; };
  const auto offline = [] { return !sim::WorkerWaiting() && HeadsetState() == kHeadsetOffline; };
  sim::QueueEvent(LoopEvent{kMenuEvent, kMenuStartHeadset, 0});
  EXPECT_TRUE(TurnWhileClicking(online));
  sim::QueueEvent(LoopEvent{kMenuEvent, kMenuStartHeadset, 0});
  EXPECT_TRUE(TurnWhileClicking(offline));

  searching = false;
  search.join();
  sim::FinishWorker();
  EXPECT_EQ(DeviceNodeStatus(ids.headset), kNodeDisabled);
  EXPECT_EQ(DeviceNodeStatus(ids.sensors), kNodeDisabled);
  EXPECT_TRUE(Logged(L"WMR headset is now online"));
  EXPECT_TRUE(Logged(L"WMR headset is now offline"));
}

}  // namespace
