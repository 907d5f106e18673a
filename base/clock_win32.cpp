#include <windows.h>

#include <ctime>

#include "base/clock.h"

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

std::int64_t LocalTimeSeconds() {
  // Local wall-clock time, so deadlines follow the user's clock as shown;
  // the offset from UTC is folded in by treating the local broken-down time
  // as if it were UTC.
  SYSTEMTIME local{};
  GetLocalTime(&local);
  std::tm broken{};
  broken.tm_year = local.wYear - 1900;
  broken.tm_mon = local.wMonth - 1;
  broken.tm_mday = local.wDay;
  broken.tm_hour = local.wHour;
  broken.tm_min = local.wMinute;
  broken.tm_sec = local.wSecond;
  return static_cast<std::int64_t>(_mkgmtime(&broken));
}

ClockTime LocalClockTime() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return ClockTime{local.wHour, local.wMinute, local.wSecond};
}
