#include <chrono>
#include <map>
#include <thread>

#include "base/clock.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {

std::int64_t NowMs() { return State().nowMs; }

void AdvanceMs(std::int64_t milliseconds) {
  const std::int64_t target = State().nowMs + milliseconds;
  // Events may schedule further events; run them in time order.
  for (;;) {
    auto& events = State().events;
    auto next = events.begin();
    if (next == events.end() || next->first > target) break;
    auto event = std::move(next->second);
    State().nowMs = next->first;
    events.erase(next);
    event();
  }
  State().nowMs = target;
}

void At(std::int64_t timeMs, std::function<void()> event) {
  State().events.emplace(timeMs, std::move(event));
}

std::int64_t SleptMs() { return State().sleptMs; }

void SetTimeOfDay(int hour, int minute, int second) {
  State().clockOriginSeconds = hour * 3600 + minute * 60 + second - State().nowMs / 1000;
}

void ShiftWallClock(std::int64_t seconds) { State().clockOriginSeconds += seconds; }

}  // namespace sim

void SleepMs(unsigned milliseconds) {
  {
    const sim::MachineCall call;
    sim::State().sleptMs += milliseconds;
    sim::AdvanceMs(milliseconds);
  }
  // Threads that share the machine take turns in real time too, a fiftieth
  // of the simulated time.
  if (sim::State().workersOnThreads) {
    std::this_thread::sleep_for(std::chrono::microseconds(20 * milliseconds));
  }
}

std::int64_t MonotonicSeconds() {
  const sim::MachineCall call;
  return sim::State().nowMs / 1000;
}

ClockTime LocalClockTime() {
  const sim::MachineCall call;
  constexpr std::int64_t kDay = 86400;
  const std::int64_t wall = sim::State().clockOriginSeconds + sim::State().nowMs / 1000;
  const std::int64_t seconds = (wall % kDay + kDay) % kDay;
  return ClockTime{static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                   static_cast<int>(seconds % 60)};
}
