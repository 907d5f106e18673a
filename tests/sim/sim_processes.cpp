#include <algorithm>

#include "app/instance.h"
#include "companions/process_rules.h"
#include "companions/processes.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {

ProcessId StartProcessWithId(const std::wstring& exeName, ProcessId id) {
  State().processes[id] = exeName;
  return id;
}

ProcessId StartProcess(const std::wstring& exeName) {
  return StartProcessWithId(exeName, State().nextId++);
}

void EndProcess(ProcessId id) {
  State().processes.erase(id);
  auto& windows = State().windows;
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [id](const SimWindow& w) { return w.owner == id; }),
                windows.end());
}

bool IsRunning(ProcessId id) { return State().processes.count(id) != 0; }

void SetOwnProcessId(ProcessId id) { State().ownId = id; }

WindowHandle OpenWindow(ProcessId owner, const std::wstring& title, CloseReaction reaction,
                        std::int64_t closeDelayMs) {
  const WindowHandle handle = State().nextWindow++;
  State().windows.push_back(SimWindow{handle, owner, title, reaction, closeDelayMs});
  return handle;
}

const std::vector<PostedClose>& PostedCloses() { return State().postedCloses; }

void ProtectProcess(ProcessId id) { State().protectedProcesses.insert(id); }

int SemaphoreCreations(const std::wstring& name) {
  auto found = State().semaphores.find(name);
  return found == State().semaphores.end() ? 0 : found->second;
}

}  // namespace sim

using sim::State;

ProcessList TakeProcessList() {
  const sim::MachineCall call;
  ++State().calls.processSnapshots;
  ProcessList list;
  for (const auto& [id, name] : State().processes) list.entries.push_back(ProcessEntry{id, name});
  return list;
}

int TerminateProcessById(ProcessId id) {
  const sim::MachineCall call;
  if (id == 0 || !sim::IsRunning(id) || State().protectedProcesses.count(id)) return 0;
  sim::EndProcess(id);
  return 1;
}

WindowHandle FindWindowByTitlePart(const std::wstring& text) {
  const sim::MachineCall call;
  for (const sim::SimWindow& window : State().windows) {
    if (TitleContainsPart(window.title, text)) return window.handle;
  }
  return 0;
}

bool PostCloseMessage(WindowHandle window, std::uintptr_t wParam) {
  const sim::MachineCall call;
  auto found = std::find_if(State().windows.begin(), State().windows.end(),
                            [window](const sim::SimWindow& w) { return w.handle == window; });
  if (found == State().windows.end()) return false;
  State().postedCloses.push_back(sim::PostedClose{window, wParam, State().nowMs});
  if (found->reaction == sim::CloseReaction::kEnds) {
    const ProcessId owner = found->owner;
    sim::At(State().nowMs + found->closeDelayMs, [owner] { sim::EndProcess(owner); });
  }
  return true;
}

ProcessId CurrentProcessId() {
  const sim::MachineCall call;
  return State().ownId;
}

bool CreateInstanceSemaphore(const std::wstring& name) {
  const sim::MachineCall call;
  // Any running copy of the program holds the semaphore.
  const bool existed =
      ++State().semaphores[name] > 1 || FindOtherProcessId(L"Vantrel.exe", State().ownId) != 0;
  return existed;
}
