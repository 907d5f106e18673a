// A start or stop of SteamVR or the Oculus service that is confirmed within
// ten seconds, or reported failed once the deadline has passed. The headset
// worker opens a window while the main loop may be closing an earlier one;
// the deadline and both pending flags share one word, so each side sees and
// replaces the other's change whole.
#pragma once

#include <atomic>
#include <cstdint>

enum PendingCompanion : unsigned {
  kSteamVrPending = 1,
  kOculusPending = 2,
};

struct Confirmation {
  std::int64_t deadline = 0;  // 0: none
  unsigned pending = 0;       // PendingCompanion bits

  bool operator==(const Confirmation&) const = default;
};

struct ConfirmationWindow {
  std::atomic<std::uint64_t> word{0};
};

Confirmation ReadConfirmation(const ConfirmationWindow& window);

// Sets `companion` pending and the window's deadline, ten seconds from
// `now`, in one step.
void AwaitConfirmation(ConfirmationWindow& window, PendingCompanion companion, std::int64_t now);

// Replaces what the caller `saw` by `next`; false, changing nothing, when
// the window changed since.
bool ReplaceConfirmation(ConfirmationWindow& window, Confirmation saw, Confirmation next);
