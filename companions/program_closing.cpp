#include "companions/program_closing.h"

#include "base/clock.h"
#include "base/text.h"
#include "companions/process_rules.h"
#include "companions/processes.h"

namespace {

constexpr int kCloseAttempts = 21;
constexpr unsigned kCloseRetryMs = 250;

bool Listed(const ProcessList& list, ProcessId id) {
  for (const ProcessEntry& entry : list.entries) {
    if (entry.id == id) return true;
  }
  return false;
}

// The program's process once its window was found; before that, any other
// process with the image's file name.
bool StillThere(ProcessId owner, const std::wstring& image) {
  const ProcessList list = TakeProcessList();
  if (owner != 0) return Listed(list, owner);
  return FindInProcessList(list, FileNamePart(image), CurrentProcessId()) != 0;
}

// A program of a given file (a full path) that shows no window yet, such as a
// copy still at its start-up check, would hold that file against the
// update: it is ended too, each after its image was checked. A bare name
// says nothing about what the process is, so nothing is ended by it.
void EndWindowlessCopies(const std::wstring& image, ProcessId self) {
  if (FileNamePart(image) == image) return;
  for (const ProcessEntry& entry : TakeProcessList().entries) {
    if (entry.id != self && ExecutableNameMatches(entry.exeFile, FileNamePart(image))) {
      TerminateProcessRunning(entry.id, image);
    }
  }
}

}  // namespace

void CloseRunningProgram(const std::wstring& className, const std::wstring& image,
                         std::uintptr_t wParam) {
  const ProcessId self = CurrentProcessId();
  ProcessId owner = 0;
  for (int attempt = 1; StillThere(owner, image); ++attempt) {
    const ProgramWindow program = FindProgramWindow(className, image, self);
    if (program.window != 0) {
      owner = program.owner;
      PostCloseMessage(program.window, wParam);
    }
    SleepMs(kCloseRetryMs);
    if (attempt == kCloseAttempts) {
      if (owner != 0) {
        TerminateProcessRunning(owner, image);
      } else {
        EndWindowlessCopies(image, self);
      }
      SleepMs(kCloseRetryMs);
      return;
    }
  }
}
