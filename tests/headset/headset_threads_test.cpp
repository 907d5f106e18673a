// The device search thread, the headset worker and the main thread share
// the published headset state, the loop's deadlines and flags, the device
// nodes and the log. Run under the thread sanitizer, this shows they do so
// without a data race.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "headset/config_manager.h"
#include "tests/headset/headset_fixture.h"

namespace {

constexpr int kRounds = 300;

using HeadsetThreads = HeadsetTest;

TEST_F(HeadsetThreads, SearchWorkerAndMainThreadShareTheStateSafely) {
  const auto ids = sim::PlugInHeadset(L"1", L"Acme Virtual Reality Headset", 0);
  std::atomic<bool> searching{true};

  // The device search: passes while the headset comes and goes.
  std::thread search([&] {
    for (int round = 0; round < kRounds; ++round) {
      if (round % 7 == 3) sim::UnplugHeadset(ids);
      if (round % 7 == 5) {
        sim::SetDeviceNodePresent(ids.sensors, true);
        sim::SetDeviceNodePresent(ids.headset, true);
      }
      RunDiscoveryPass();
    }
    searching = false;
  });

  // The worker: switches the nodes it was told about and reports to the loop.
  std::thread worker([&] {
    for (int round = 0; searching; ++round) {
      const std::wstring headset = HeadsetDeviceId();
      const std::wstring sensors = SensorDeviceId();
      SetDeviceNodeEnabled(headset, round % 2 == 0 ? kDisableNode : kEnableNode);
      SetDeviceNodeEnabled(sensors, round % 2 == 0 ? kDisableNode : kEnableNode);
      if (DeviceNodeStatus(sensors) == kNodeRunning) AddLogLine(L"worker: on", 0);
      Loop().nextStatusPoll = round;
      AwaitConfirmation(Loop().startConfirmation, kSteamVrPending, round);
      std::int64_t marker = kHeadsetRestartMarker;
      Loop().headsetRestartDeadline.compare_exchange_strong(marker, round);
    }
  });

  // The main thread: the status monitor and the loop's deadline checks.
  size_t namesSeen = 0;
  while (searching) {
    if (DiscoveryState() == kDiscoveryFound && HeadsetState() != kStateUnknown) {
      namesSeen += HeadsetName().size();
    }
    const Confirmation seen = ReadConfirmation(Loop().startConfirmation);
    if (seen.deadline > 0) ReplaceConfirmation(Loop().startConfirmation, seen, Confirmation{});
    Loop().headsetRestartDeadline = kHeadsetRestartMarker;
    if (Loop().nextStatusPoll > 0) Loop().nextStatusPoll = 0;
  }
  search.join();
  worker.join();

  EXPECT_GT(namesSeen, 0u);
  // Whatever the worker did last, the next pass tells the truth.
  sim::SetDeviceNodePresent(ids.sensors, true);
  sim::SetDeviceNodePresent(ids.headset, true);
  RunDiscoveryPass();
  RunDiscoveryPass();
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
  EXPECT_EQ(HeadsetName(), L"Acme");
  EXPECT_EQ(SensorDeviceId(), ids.sensors);
}

}  // namespace
