// What the very first calls do to the log, in a program of their own so the
// log is sure to start empty.
#include <gtest/gtest.h>

#include <string>

#include "tests/sim/sim.h"
#include "base/event_log.h"

namespace {

TEST(EmptyEventLog, DropsAnEmptyMessageAndEndsTheFirstEntryWithACarriageReturn) {
  sim::Reset();
  sim::SetTimeOfDay(9, 5, 7);
  ASSERT_EQ(LogText(), L"");
  AddLogLine(L"", 0);
  AddLogLine(L"", 1);
  EXPECT_EQ(LogText(), L"");
  EXPECT_EQ(sim::LogChanges(), 0);

  AddLogLine(L"Opened CfgMgr32 API", 0);
  EXPECT_EQ(LogText(), L"09:05:07: Opened CfgMgr32 API\r");
  EXPECT_EQ(sim::LogChanges(), 1);
  // Once there is an entry an empty message differs from it and is kept.
  AddLogLine(L"", 0);
  EXPECT_EQ(LogText(), L"09:05:07: Opened CfgMgr32 API\r09:05:07: \r");
  EXPECT_EQ(LogTextFrom(30), L"09:05:07: \r");
  EXPECT_EQ(LogTextFrom(41), L"");
  EXPECT_EQ(LogTextFrom(1000), L"");
}

}  // namespace
