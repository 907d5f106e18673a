// Time as the program sees it: a sleep, the whole seconds that deadlines
// count in, and the local time of day that the log shows.
#pragma once

#include <cstdint>

void SleepMs(unsigned milliseconds);

// Whole seconds since an arbitrary fixed origin, never going back. Every
// deadline counts in these: the wall clock jumps an hour at each
// daylight-saving change, and by any amount at a time sync or when the user
// sets it.
std::int64_t MonotonicSeconds();

struct ClockTime {
  int hour;  // 0 to 23
  int minute;
  int second;
};
// The local time of day.
ClockTime LocalClockTime();
