// Other programs: find a running process by executable name, end one by id,
// and find a program's top-level window by its class and its process's image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using ProcessId = std::uint32_t;
// An opaque top-level window handle; 0 means none.
using WindowHandle = std::uintptr_t;

struct ProcessEntry {
  ProcessId id;
  std::wstring exeFile;  // as the snapshot reports it
};

// The processes running at one moment, in snapshot order. A step that asks
// about several programs reads one list instead of taking a snapshot for
// each: a snapshot copies the whole process table.
struct ProcessList {
  std::vector<ProcessEntry> entries;
};

// One process snapshot; empty when the system refuses it.
ProcessList TakeProcessList();

// First process in `list`, other than `excluded`, whose executable file name
// equals `exeName`, ignoring case; 0 when none. Only the system idle process
// has id 0, and 0 already means "none", so an `excluded` of 0 skips nothing.
ProcessId FindInProcessList(const ProcessList& list, const std::wstring& exeName,
                            ProcessId excluded = 0);

// The same on a snapshot of its own, for callers that ask once.
ProcessId FindProcessId(const std::wstring& exeName);
ProcessId FindOtherProcessId(const std::wstring& exeName, ProcessId excluded);

// 1 when the process was terminated, 0 otherwise (also for id 0).
int TerminateProcessById(ProcessId id);

// The same, only when the process runs `image` (see ImageIs). The image is
// read and the process ended through one handle, so an id that the system
// has meanwhile given to another program ends nothing.
int TerminateProcessRunning(ProcessId id, const std::wstring& image);

struct ProgramWindow {
  WindowHandle window = 0;
  ProcessId owner = 0;
};

// First top-level window in Z order, hidden ones included, of the window
// class `className` whose process, other than `excluded`, runs `image` (see
// ImageIs). A process whose image cannot be read (access denied, already
// gone) runs nothing. Titles play no part: any program can copy one.
ProgramWindow FindProgramWindow(const std::wstring& className, const std::wstring& image,
                                ProcessId excluded);

// Posts WM_CLOSE with the given wParam and an lParam of 0.
bool PostCloseMessage(WindowHandle window, std::uintptr_t wParam);

ProcessId CurrentProcessId();
