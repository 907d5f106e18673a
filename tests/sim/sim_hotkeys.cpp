#include <algorithm>

#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"
#include "ui/hotkeys.h"

namespace sim {
namespace {
SimKeyboard& Keyboard() { return State().keyboard; }
}  // namespace

void MapKey(int virtualKey, unsigned scanCode) { Keyboard().scanCodes[virtualKey] = scanCode; }
void NameKey(std::int32_t keyData, const std::wstring& name) { Keyboard().names[keyData] = name; }
const std::vector<std::int32_t>& KeyNameRequests() { return Keyboard().nameRequests; }
bool KeyboardLayoutActivated() { return Keyboard().layoutActivated; }

const Hotkey* RegisteredHotkey() {
  return Keyboard().hotkeyRegistered ? &Keyboard().hotkey : nullptr;
}
const std::vector<Hotkey>& HotkeyAttempts() { return Keyboard().hotkeyAttempts; }
void HoldHotkeyElsewhere(const Hotkey& hotkey) { Keyboard().heldElsewhere.push_back(hotkey); }

void QueueCaptureKeys(const std::vector<int>& keys) {
  Keyboard().captureKeys.insert(Keyboard().captureKeys.end(), keys.begin(), keys.end());
}
bool CaptureWindowOpen() { return Keyboard().captureOpen; }
int CaptureWindowOpenings() { return Keyboard().captureOpenings; }
void FailCaptureWindow() { Keyboard().captureFails = true; }

}  // namespace sim

using sim::Hotkey;

namespace {
sim::SimKeyboard& Keyboard() { return sim::State().keyboard; }

// Windows compares combinations without the no-repeat flag.
bool SameCombination(const Hotkey& a, const Hotkey& b) {
  return a.key == b.key && (a.modifiers & ~kHotkeyNoRepeat) == (b.modifiers & ~kHotkeyNoRepeat);
}
}  // namespace

void UnregisterMainWindowHotkey() {
  const sim::MachineCall call;
  Keyboard().hotkeyRegistered = false;
}

bool RegisterMainWindowHotkey(unsigned modifiers, int virtualKey) {
  const sim::MachineCall call;
  const Hotkey wanted{modifiers, virtualKey};
  Keyboard().hotkeyAttempts.push_back(wanted);
  // The real call refuses a second registration of the same identifier.
  if (Keyboard().hotkeyRegistered || virtualKey <= 0 || virtualKey > 254) return false;
  const auto& held = Keyboard().heldElsewhere;
  if (std::any_of(held.begin(), held.end(),
                  [&](const Hotkey& other) { return SameCombination(other, wanted); })) {
    return false;
  }
  Keyboard().hotkey = wanted;
  Keyboard().hotkeyRegistered = true;
  return true;
}

void BeginKeyNameLookup() {
  const sim::MachineCall call;
  Keyboard().layoutActivated = true;
}
void EndKeyNameLookup() {
  const sim::MachineCall call;
  Keyboard().layoutActivated = false;
}

unsigned KeyScanCode(int virtualKey) {
  const sim::MachineCall call;
  auto found = Keyboard().scanCodes.find(virtualKey);
  return found == Keyboard().scanCodes.end() ? 0 : found->second;
}

std::wstring KeyNameText(std::int32_t keyData) {
  const sim::MachineCall call;
  Keyboard().nameRequests.push_back(keyData);
  auto found = Keyboard().names.find(keyData);
  return found == Keyboard().names.end() ? std::wstring() : found->second;
}

bool OpenCaptureWindow() {
  const sim::MachineCall call;
  if (Keyboard().captureFails) return false;
  Keyboard().captureOpen = true;
  ++Keyboard().captureOpenings;
  return true;
}

int NextCaptureKey() {
  const sim::MachineCall call;
  auto& keys = Keyboard().captureKeys;
  if (!Keyboard().captureOpen || keys.empty()) return -1;
  const int key = keys.front();
  keys.erase(keys.begin());
  return key;
}

// Keys still on their way to the window go with it, as their messages do.
void CloseCaptureWindow() {
  const sim::MachineCall call;
  Keyboard().captureOpen = false;
  Keyboard().captureKeys.clear();
}
