// The simulated machine's state, shared by its parts.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/sim/sim.h"

namespace sim {

struct SimFile {
  std::string bytes;
  bool readOnly = false;
};

struct SimWindow {
  WindowHandle handle;
  ProcessId owner;
  std::wstring title;
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
};

MachineState& State();
std::wstring PathKey(const std::wstring& path);

}  // namespace sim
