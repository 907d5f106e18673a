// The simulated machine's state, shared by its parts.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/sim/sim.h"
#include "tests/sim/sim_headset.h"
#include "tests/sim/sim_controls.h"
#include "tests/sim/sim_tray.h"
#include "tests/sim/sim_update.h"

namespace sim {

struct SimFile {
  std::string bytes;
  bool readOnly = false;
  std::int64_t unreadableUntilMs = 0;  // -1: for good
};

struct SimWindow {
  WindowHandle handle;
  ProcessId owner;
  std::wstring className;
  CloseReaction reaction;
  std::int64_t closeDelayMs;
};

struct SimRegValue {
  int type = 0;
  std::string data;  // the bytes as stored
};

struct SimKey {
  std::wstring name;                           // as first created
  std::map<std::wstring, SimRegValue> values;  // keyed by lower-cased name
};

struct SimRegistry {
  std::map<std::wstring, SimKey> keys;               // keyed by root and lower-cased path
  int failure = 0;                                   // every call fails with this code
  std::map<std::wstring, std::wstring> environment;  // lower-cased names
};

struct SimKeyboard {
  std::map<int, unsigned> scanCodes;           // by virtual-key code
  std::map<std::int32_t, std::wstring> names;  // by key-message lParam
  std::vector<std::int32_t> nameRequests;
  bool layoutActivated = false;
  bool hotkeyRegistered = false;
  Hotkey hotkey{};
  std::vector<Hotkey> hotkeyAttempts;
  std::vector<Hotkey> heldElsewhere;
  std::vector<int> captureKeys;
  bool captureOpen = false;
  bool captureFails = false;
  int captureOpenings = 0;
};

struct SimScheduler {
  std::map<std::wstring, std::wstring> tasks;  // lower-cased name: program
  std::vector<std::wstring> runs;
  bool denyChanges = false;
  bool cannotStart = false;
};

struct MachineState {
  std::int64_t nowMs = 0;
  std::int64_t sleptMs = 0;
  std::int64_t clockOriginSeconds = 0;  // time of day at virtual time 0
  int logChanges = 0;
  std::multimap<std::int64_t, std::function<void()>> events;

  std::map<std::wstring, SimFile> files;  // keyed by lower-cased path
  std::set<std::wstring> directories;     // lower-cased
  bool failNextReplace = false;
  int replaceCount = 0;

  std::map<ProcessId, std::wstring> processes;  // ordered: snapshot order
  std::set<ProcessId> protectedProcesses;
  ProcessId ownId = 1000;
  ProcessId nextId = 2000;
  std::vector<SimWindow> windows;  // front of the Z order first
  WindowHandle nextWindow = 0x100;
  std::vector<PostedClose> postedCloses;

  std::map<std::wstring, int> semaphores;

  SimRegistry registry;

  std::vector<LoopEvent> queuedEvents;
  bool mainWindowVisible = false;
  std::vector<std::wstring> openedLinks;
  std::set<std::wstring> failingLinks;
  std::multimap<std::wstring, std::function<void()>> shellActions;
  void (*workerJob)() = nullptr;
  bool workersOnThreads = false;

  SimDevices devices;
  std::vector<SimFrameWindow> frameWindows;
  SimServices services;

  SimTray tray;
  SimUpdate update;
  SimWindowControls windowControls;

  std::set<wchar_t> readyDrives;  // upper-case letters
  std::vector<std::wstring> queriedDriveRoots;

  SimKeyboard keyboard;
  PlatformCalls calls;
  SimScheduler scheduler;
};

MachineState& State();
std::wstring PathKey(const std::wstring& path);

// One call of the program into the simulated machine, the test's stand-in
// for Windows. It holds the machine's one lock, so the program's threads
// may call at the same time. The thread sanitizer looks away from the
// machine's memory and lock for the call, as it sees nothing inside a real
// system call either: it judges only how the program's threads share the
// program's own state.
class MachineCall {
 public:
  MachineCall();
  ~MachineCall();
  MachineCall(const MachineCall&) = delete;
  MachineCall& operator=(const MachineCall&) = delete;
};

}  // namespace sim
