// Time as the program sees it: a sleep and the local wall-clock time in
// whole seconds.
#pragma once

#include <cstdint>

void SleepMs(unsigned milliseconds);

// Local time in whole seconds since an arbitrary fixed origin.
std::int64_t LocalTimeSeconds();

struct ClockTime {
  int hour;  // 0 to 23
  int minute;
  int second;
};
// The local time of day.
ClockTime LocalClockTime();
