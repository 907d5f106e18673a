// The simulated machine behind the portable logic in host tests: a virtual
// clock whose sleeps advance time, an in-memory file system, processes by
// image name with their top-level windows, and named semaphores.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/loop_events.h"
#include "companions/processes.h"
#include "tests/sim/sim_headset.h"

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
// The wall clock is set forward (or back, for a negative count) by this many
// seconds, as by a daylight-saving change or a time sync; the monotonic
// clock goes on undisturbed.
void ShiftWallClock(std::int64_t seconds);

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
// The file stays there but every read of it fails, as while another program
// holds it open without sharing; with `forMs`, only for that long.
void MakeFileUnreadable(const std::wstring& path, std::int64_t forMs = -1);

// Processes and windows. A process runs an image, given as a full path or
// a bare file name; the snapshot lists only its file name, as on Windows.
// How a process answers WM_CLOSE on its window.
enum class CloseReaction { kEnds, kHides };
ProcessId StartProcess(const std::wstring& image);
ProcessId StartProcessWithId(const std::wstring& image, ProcessId id);
void EndProcess(ProcessId id);
bool IsRunning(ProcessId id);
void SetOwnProcessId(ProcessId id);
// A top-level window of the window class `className`, in front of the others.
WindowHandle OpenWindow(ProcessId owner, const std::wstring& className,
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

// The calls into the machine that cost the most on Windows, counted since
// the last Reset: process snapshots, registry key opens (one per registry
// operation), service control manager opens (one per service query), and
// device node status reads and switches.
struct PlatformCalls {
  int processSnapshots = 0;
  int registryOpens = 0;
  int serviceQueries = 0;
  int deviceNodeCalls = 0;
};
const PlatformCalls& CountedCalls();

// Window layer: events the main loop will receive, in order; with none
// queued, the loop's wait just passes time.
void QueueEvent(const LoopEvent& event);
bool MainWindowVisible();

// Shell: every target handed to it, in order; some can be made to fail.
const std::vector<std::wstring>& OpenedLinks();
void FailShellOpen(const std::wstring& target);
// Runs `action` each time the shell opens `target` (say, a program starts).
void OnShellOpen(const std::wstring& target, std::function<void()> action);

// Headset worker: started workers keep running until FinishWorker. After
// RunWorkersOnThreads each worker runs at once on a thread of its own, and
// FinishWorker waits for it to end.
bool WorkerWaiting();
void FinishWorker();
void RunWorkersOnThreads();

// Device nodes by device instance ID (compared without case). A node that
// is not present cannot be located. Enables and disables take effect after
// the reaction time; enabling clears only the "disabled" problem.
inline constexpr unsigned kProblemDisabled = 22;
void AddDeviceNode(const std::wstring& id, unsigned problem);
void SetDeviceNodePresent(const std::wstring& id, bool present);
void SetDeviceNodeProblem(const std::wstring& id, unsigned problem);
unsigned DeviceNodeProblem(const std::wstring& id);
void FailDeviceNodeEnable(const std::wstring& id);
void FailDeviceNodeDisable(const std::wstring& id);
void SetDeviceReactionMs(std::int64_t milliseconds);
const std::vector<DeviceCall>& DeviceCalls();

// A headset as Windows lists it: the two interfaces' enumeration keys under
// instance `instance`, with their "FriendlyName" values (none for an empty
// name), and their two nodes.
struct HeadsetIds {
  std::wstring sensors;
  std::wstring headset;
};
HeadsetIds PlugInHeadset(const std::wstring& instance, const std::wstring& modelName,
                         unsigned problem = kProblemDisabled,
                         const std::wstring& sensorsName = L"HoloLens Sensors");
// The nodes vanish; the enumeration keys stay, as on Windows.
void UnplugHeadset(const HeadsetIds& ids);

// Frame windows (the Portal's), found by class and exact title; they close
// with their process. Minimising works only once the window is visible.
WindowHandle OpenFrameWindow(ProcessId owner, const std::wstring& className,
                             const std::wstring& title, std::int64_t visibleFromMs = 0);
bool FrameWindowMinimized(WindowHandle window);
int MinimizeRequests(WindowHandle window);

// Services. Start and stop requests leave the service pending for the
// reaction time. `dependents` are running services that depend on this one,
// in the order the manager lists them.
void InstallService(const std::wstring& name, int state,
                    const std::vector<std::wstring>& dependents = {});
void SetServiceReactionMs(std::int64_t milliseconds);
int ServiceStateOf(const std::wstring& name);
void RefuseServiceStop(const std::wstring& name);
void FailServiceStart(const std::wstring& name);
void RefuseServiceManager();
const std::vector<ServiceRequest>& ServiceRequests();
int OpenServiceHandles();

// Drives: a letter whose root holds a ready volume; every root asked about.
void AddReadyDrive(wchar_t letter);
const std::vector<std::wstring>& QueriedDriveRoots();

// Keyboard: the layout's scan codes and key names (by the key-message
// lParam they are asked for), the hotkey the main window holds, and the keys
// the capture window will receive; with none left it is closed from outside.
void MapKey(int virtualKey, unsigned scanCode);
void NameKey(std::int32_t keyData, const std::wstring& name);
const std::vector<std::int32_t>& KeyNameRequests();
bool KeyboardLayoutActivated();
struct Hotkey {
  unsigned modifiers;
  int key;
  bool operator==(const Hotkey&) const = default;
};
// The registered hotkey, if any, and every registration attempt in order.
const Hotkey* RegisteredHotkey();
const std::vector<Hotkey>& HotkeyAttempts();
void HoldHotkeyElsewhere(const Hotkey& hotkey);
// Keys pressed into the next capture window; those it has not taken when it
// closes are lost with it.
void QueueCaptureKeys(const std::vector<int>& keys);
bool CaptureWindowOpen();
int CaptureWindowOpenings();
void FailCaptureWindow();

// Task Scheduler behind "schtasks": the parameter text of every run, in
// order, and the tasks it holds (task name: the program the task runs).
const std::vector<std::wstring>& SchtasksRuns();
void PutScheduledTask(const std::wstring& name, const std::wstring& program);
bool HasScheduledTask(const std::wstring& name);
std::wstring ScheduledTaskProgram(const std::wstring& name);
// Creating and deleting fail, as without the rights to change tasks.
void DenyTaskChanges();
// "schtasks" cannot be started at all.
void FailSchtasksStart();

}  // namespace sim
