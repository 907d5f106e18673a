// Counts the platform calls the program makes in one idle minute on the
// simulated machine: a headset found and switched off, the main window
// built, nothing running. The real main loop turns, and the device search
// runs its pass every two seconds, as its thread does.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/main_loop.h"
#include "base/program_state.h"
#include "headset/device_discovery.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_controls.h"

namespace {

long allocations = 0;

}  // namespace

// Counts every allocation of the program, to tell the turns that allocate.
void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr std::int64_t kSettleMs = 10000;
constexpr std::int64_t kMeasuredMs = 60000;
constexpr std::int64_t kSearchPeriodMs = 2000;
constexpr unsigned kEventWaitMs = 50;

void SearchPass() {
  RunDiscoveryPass();
  sim::At(sim::NowMs() + kSearchPeriodMs, SearchPass);
}

struct Turns {
  int all = 0;
  int allocating = 0;
};

// The search pass runs inside the wait, as its thread runs beside it.
Turns TurnUntil(std::int64_t untilMs) {
  Turns turns;
  while (sim::NowMs() < untilMs) {
    const long before = allocations;
    RunLoopTurn(WaitForLoopEvent(kEventWaitMs));
    ++turns.all;
    if (allocations != before) ++turns.allocating;
  }
  return turns;
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
  const Turns turns = TurnUntil(kSettleMs + kMeasuredMs);
  const sim::PlatformCalls& after = sim::CountedCalls();
  std::printf("Platform calls in one idle minute (simulated machine)\n");
  std::printf("| %-26s | %6s | %-8s |\n", "call", "count", "goal");
  std::printf("|----------------------------|--------|----------|\n");
  PrintRow("process snapshots", after.processSnapshots - before.processSnapshots, "<= 20");
  PrintRow("registry opens", after.registryOpens - before.registryOpens, "");
  PrintRow("service manager opens", after.serviceQueries - before.serviceQueries, "");
  PrintRow("device node calls", after.deviceNodeCalls - before.deviceNodeCalls, "");
  std::printf(
      "\n%d of %d loop turns allocated; only those with a status poll or a search pass may\n",
      turns.allocating, turns.all);
  return 0;
}
