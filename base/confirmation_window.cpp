#include "base/confirmation_window.h"

namespace {

constexpr std::int64_t kConfirmationSeconds = 10;
constexpr unsigned kPendingBits = 2;
constexpr std::uint64_t kPendingMask = (1u << kPendingBits) - 1;

std::uint64_t Pack(Confirmation confirmation) {
  return static_cast<std::uint64_t>(confirmation.deadline) << kPendingBits |
         (confirmation.pending & kPendingMask);
}

Confirmation Unpack(std::uint64_t word) {
  return Confirmation{static_cast<std::int64_t>(word >> kPendingBits),
                      static_cast<unsigned>(word & kPendingMask)};
}

}  // namespace

Confirmation ReadConfirmation(const ConfirmationWindow& window) { return Unpack(window.word); }

void AwaitConfirmation(ConfirmationWindow& window, PendingCompanion companion, std::int64_t now) {
  std::uint64_t word = window.word;
  Confirmation next;
  do {
    next = Confirmation{now + kConfirmationSeconds, Unpack(word).pending | companion};
  } while (!window.word.compare_exchange_weak(word, Pack(next)));
}

bool ReplaceConfirmation(ConfirmationWindow& window, Confirmation saw, Confirmation next) {
  std::uint64_t expected = Pack(saw);
  return window.word.compare_exchange_strong(expected, Pack(next));
}
