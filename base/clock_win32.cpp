#include <windows.h>

#include "base/clock.h"

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

// The tick count runs from boot and is not touched by clock changes; the
// 64-bit one does not wrap after 49 days.
std::int64_t MonotonicSeconds() { return static_cast<std::int64_t>(GetTickCount64() / 1000); }

ClockTime LocalClockTime() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return ClockTime{local.wHour, local.wMinute, local.wSecond};
}
