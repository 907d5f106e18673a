// Counts the platform calls the program makes in one idle minute on the
// simulated machine: a headset found and switched off, the main window
// built, nothing running. The real main loop turns, and the device search
// runs its pass every two seconds, as its thread does.
#include <cstdio>

#include "app/main_loop.h"
#include "base/program_state.h"
#include "headset/device_discovery.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_controls.h"

namespace {

constexpr std::int64_t kSettleMs = 10000;
constexpr std::int64_t kMeasuredMs = 60000;
constexpr std::int64_t kSearchPeriodMs = 2000;
constexpr unsigned kEventWaitMs = 50;

void SearchPass() {
  RunDiscoveryPass();
  sim::At(sim::NowMs() + kSearchPeriodMs, SearchPass);
}

void TurnUntil(std::int64_t untilMs) {
  while (sim::NowMs() < untilMs) RunLoopTurn(WaitForLoopEvent(kEventWaitMs));
}

void PrintRow(const char* name, int count, const char* goal) {
  std::printf("| %-26s | %6d | %-8s |\n", name, count, goal);
}

}  // namespace

int main() {
  sim::Reset();
  ResetLoopState();
  ResetDiscovery();
  ProgramSettings() = Settings{};
  sim::AddMainWindowControls();
  sim::PlugInHeadset(L"7&1A2B&0&0003", L"Acme Mixed Reality Headset");
  SearchPass();
  TurnUntil(kSettleMs);
  const sim::PlatformCalls before = sim::CountedCalls();
  TurnUntil(kSettleMs + kMeasuredMs);
  const sim::PlatformCalls& after = sim::CountedCalls();
  std::printf("Platform calls in one idle minute (simulated machine)\n");
  std::printf("| %-26s | %6s | %-8s |\n", "call", "count", "goal");
  std::printf("|----------------------------|--------|----------|\n");
  PrintRow("process snapshots", after.processSnapshots - before.processSnapshots, "<= 20");
  PrintRow("registry opens", after.registryOpens - before.registryOpens, "");
  PrintRow("service manager opens", after.serviceQueries - before.serviceQueries, "");
  PrintRow("device node calls", after.deviceNodeCalls - before.deviceNodeCalls, "");
  return 0;
}
