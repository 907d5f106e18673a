#include "base/clock.h"
#include "base/shell.h"
#include "base/worker_slot.h"
#include "app/main_loop.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"
#include "base/event_log.h"
#include "ui/main_window.h"

namespace sim {

void QueueEvent(const LoopEvent& event) { State().queuedEvents.push_back(event); }
bool MainWindowVisible() { return State().mainWindowVisible; }
const std::vector<std::wstring>& OpenedLinks() { return State().openedLinks; }
void FailShellOpen(const std::wstring& target) { State().failingLinks.insert(target); }

void OnShellOpen(const std::wstring& target, std::function<void()> action) {
  State().shellActions.emplace(target, std::move(action));
}

int LogChanges() { return State().logChanges; }

bool WorkerWaiting() { return State().workerJob != nullptr; }

void FinishWorker() {
  auto job = State().workerJob;
  State().workerJob = nullptr;
  if (job) job();
}

}  // namespace sim

using sim::State;

LoopEvent WaitForLoopEvent(unsigned timeoutMs) {
  auto& queue = State().queuedEvents;
  if (queue.empty()) {
    SleepMs(timeoutMs);
    return LoopEvent{};
  }
  const LoopEvent event = queue.front();
  queue.erase(queue.begin());
  return event;
}

void ShowMainWindow() { State().mainWindowVisible = true; }
void HideMainWindowToTray() { State().mainWindowVisible = false; }

bool OpenShellLink(const std::wstring& target) {
  // Like the real one: an empty target is refused before the shell sees it.
  if (target.empty()) return false;
  State().openedLinks.push_back(target);
  if (State().failingLinks.count(target)) return false;
  auto [first, last] = State().shellActions.equal_range(target);
  for (auto action = first; action != last; ++action) action->second();
  return true;
}

bool WorkerRunning() { return State().workerJob != nullptr; }

bool StartWorker(WorkerJob job) {
  if (WorkerRunning()) return false;
  State().workerJob = job;
  return true;
}

void LogChanged() { ++State().logChanges; }
