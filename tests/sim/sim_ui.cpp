#include <atomic>
#include <thread>

#include "base/clock.h"
#include "base/shell.h"
#include "base/worker_slot.h"
#include "app/main_loop.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"
#include "base/event_log.h"
#include "ui/main_window.h"

namespace {

// With workers on threads: the running one, and whether it has not ended
// yet (its end is what the program learns from the thread handle).
std::thread workerThread;
std::atomic<bool> workerBusy{false};

bool Threaded() { return sim::State().workersOnThreads; }

void JoinWorker() {
  if (workerThread.joinable()) workerThread.join();
}

}  // namespace

namespace sim {

void RunWorkersOnThreads() { State().workersOnThreads = true; }

void QueueEvent(const LoopEvent& event) {
  const MachineCall call;
  State().queuedEvents.push_back(event);
}
bool MainWindowVisible() { return State().mainWindowVisible; }
const std::vector<std::wstring>& OpenedLinks() { return State().openedLinks; }
void FailShellOpen(const std::wstring& target) { State().failingLinks.insert(target); }

void OnShellOpen(const std::wstring& target, std::function<void()> action) {
  State().shellActions.emplace(target, std::move(action));
}

int LogChanges() { return State().logChanges; }

bool WorkerWaiting() { return Threaded() ? workerBusy.load() : State().workerJob != nullptr; }

void FinishWorker() {
  if (Threaded()) return JoinWorker();
  auto job = State().workerJob;
  State().workerJob = nullptr;
  if (job) job();
}

}  // namespace sim

using sim::State;

namespace {

bool TakeQueuedEvent(LoopEvent& event) {
  const sim::MachineCall call;
  auto& queue = State().queuedEvents;
  if (queue.empty()) return false;
  event = queue.front();
  queue.erase(queue.begin());
  return true;
}

}  // namespace

LoopEvent WaitForLoopEvent(unsigned timeoutMs) {
  LoopEvent event;
  if (!TakeQueuedEvent(event)) SleepMs(timeoutMs);
  return event;
}

void ShowMainWindow() {
  const sim::MachineCall call;
  State().mainWindowVisible = true;
}
void HideMainWindowToTray() {
  const sim::MachineCall call;
  State().mainWindowVisible = false;
}

ShellOpen OpenShellLink(const std::wstring& target) {
  const sim::MachineCall call;
  // Like the real one: an empty target is refused before the shell sees it.
  if (target.empty()) return ShellOpen::kNothingToOpen;
  State().openedLinks.push_back(target);
  if (State().failingLinks.count(target)) return ShellOpen::kNothingToOpen;
  auto [first, last] = State().shellActions.equal_range(target);
  for (auto action = first; action != last; ++action) action->second();
  return ShellOpen::kStarted;
}

bool WorkerRunning() { return sim::WorkerWaiting(); }

bool StartWorker(WorkerJob job) {
  if (WorkerRunning()) return false;
  if (!Threaded()) {
    State().workerJob = job;
    return true;
  }
  JoinWorker();
  workerBusy = true;
  workerThread = std::thread([job] {
    job();
    workerBusy = false;
  });
  return true;
}

void LogChanged() {
  const sim::MachineCall call;
  ++State().logChanges;
}
