#include <algorithm>

#include "app/instance.h"
#include "base/text.h"
#include "companions/process_rules.h"
#include "companions/processes.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {

ProcessId StartProcessWithId(const std::wstring& image, ProcessId id) {
  State().processes[id] = image;
  return id;
}

ProcessId StartProcess(const std::wstring& image) {
  return StartProcessWithId(image, State().nextId++);
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

WindowHandle OpenWindow(ProcessId owner, const std::wstring& className, CloseReaction reaction,
                        std::int64_t closeDelayMs) {
  const WindowHandle handle = State().nextWindow++;
  auto& windows = State().windows;
  windows.insert(windows.begin(), SimWindow{handle, owner, className, reaction, closeDelayMs});
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
  for (const auto& [id, image] : State().processes) {
    list.entries.push_back(ProcessEntry{id, FileNamePart(image)});
  }
  return list;
}

int TerminateProcessById(ProcessId id) {
  const sim::MachineCall call;
  if (id == 0 || !sim::IsRunning(id) || State().protectedProcesses.count(id)) return 0;
  sim::EndProcess(id);
  return 1;
}

namespace {

// A process that has ended cannot be opened by its id any more.
bool Runs(ProcessId id, const std::wstring& image) {
  auto found = State().processes.find(id);
  return found != State().processes.end() && ImageIs(found->second, image);
}

}  // namespace

int TerminateProcessRunning(ProcessId id, const std::wstring& image) {
  const sim::MachineCall call;
  if (id == 0 || !Runs(id, image) || State().protectedProcesses.count(id)) return 0;
  sim::EndProcess(id);
  return 1;
}

ProgramWindow FindProgramWindow(const std::wstring& className, const std::wstring& image,
                                ProcessId excluded) {
  const sim::MachineCall call;
  for (const sim::SimWindow& window : State().windows) {
    // Class names are looked up without regard to case.
    if (ToUpperAscii(window.className) == ToUpperAscii(className) && window.owner != excluded &&
        Runs(window.owner, image)) {
      return ProgramWindow{window.handle, window.owner};
    }
  }
  return ProgramWindow{};
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
