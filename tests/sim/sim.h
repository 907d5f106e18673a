// The simulated machine behind the portable logic in host tests: a virtual
// clock whose sleeps advance time, an in-memory file system, processes by
// image name with their top-level windows, and named semaphores.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/loop_events.h"
#include "companions/processes.h"

namespace sim {

// Back to an empty machine at time 0, own process id 1000.
void Reset();

// Clock. Every SleepMs of the program advances the virtual time and runs
// the events that fall due on the way.
std::int64_t NowMs();
void AdvanceMs(std::int64_t milliseconds);
void At(std::int64_t timeMs, std::function<void()> event);
std::int64_t SleptMs();  // total time the program spent in SleepMs
// The local time of day now; the clock goes on from there.
void SetTimeOfDay(int hour, int minute, int second);

// How often the log told its view that it grew.
int LogChanges();

// Files. Paths are compared without regard to ASCII case, like on Windows.
void PutFile(const std::wstring& path, const std::string& bytes, bool readOnly = false);
bool HasFile(const std::wstring& path);
std::string FileBytes(const std::wstring& path);
void PutDirectory(const std::wstring& path);
bool HasDirectory(const std::wstring& path);
// The next ReplaceFileContents fails (say, the disk is full); like the real
// one it then leaves the previous file as it was.
void FailNextReplace();
int ReplaceCount();

// Processes and windows. How a process answers WM_CLOSE on its window.
enum class CloseReaction { kEnds, kHides };
ProcessId StartProcess(const std::wstring& exeName);
ProcessId StartProcessWithId(const std::wstring& exeName, ProcessId id);
void EndProcess(ProcessId id);
bool IsRunning(ProcessId id);
void SetOwnProcessId(ProcessId id);
WindowHandle OpenWindow(ProcessId owner, const std::wstring& title,
                        CloseReaction reaction = CloseReaction::kEnds,
                        std::int64_t closeDelayMs = 0);
struct PostedClose {
  WindowHandle window;
  std::uintptr_t wParam;
  std::int64_t atMs;
};
const std::vector<PostedClose>& PostedCloses();
// Processes that another process may not terminate (another user's).
void ProtectProcess(ProcessId id);

// Semaphores created by the program.
int SemaphoreCreations(const std::wstring& name);

// Window layer: events the main loop will receive, in order; with none
// queued, the loop's wait just passes time.
void QueueEvent(const LoopEvent& event);
bool MainWindowVisible();

// Shell: every target handed to it, in order; some can be made to fail.
const std::vector<std::wstring>& OpenedLinks();
void FailShellOpen(const std::wstring& target);
// Runs `action` each time the shell opens `target` (say, a program starts).
void OnShellOpen(const std::wstring& target, std::function<void()> action);

// Headset worker: started workers keep running until FinishWorker.
bool WorkerWaiting();
void FinishWorker();

}  // namespace sim
