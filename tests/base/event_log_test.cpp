#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/sim/sim.h"
#include "base/event_log.h"

namespace {

// The log lives for the whole process; each test reads what it added. A
// line holding ":" is never a repeat, so it separates the tests.
class EventLog : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    AddLogLine(L"test: start", 0);
    start = LogText().size();
  }
  std::wstring Added() const { return LogText().substr(start); }
  size_t start = 0;
};

TEST_F(EventLog, EntryLayoutOnTheTwentyFourHourClock) {
  sim::SetTimeOfDay(0, 1, 7);
  AddLogLine(L"Found SteamVR", 0);
  sim::SetTimeOfDay(13, 4, 9);
  AddLogLine(L"Can not start SteamVR", 1);
  EXPECT_EQ(Added(), L"00:01:07: Found SteamVR\r13:04:09:!Can not start SteamVR\r");
}

TEST_F(EventLog, ConsecutiveRepeatsAppearOnceWhateverTheirMarker) {
  sim::SetTimeOfDay(9, 5, 7);
  AddLogLine(L"Found SteamVR", 0);
  AddLogLine(L"Found SteamVR", 0);
  AddLogLine(L"Can not find SteamVR", 0);
  AddLogLine(L"Found SteamVR", 0);
  AddLogLine(L"Can not start SteamVR", 1);
  AddLogLine(L"Can not start SteamVR", 0);
  EXPECT_EQ(Added(),
            L"09:05:07: Found SteamVR\r09:05:07: Can not find SteamVR\r09:05:07: Found SteamVR\r"
            L"09:05:07:!Can not start SteamVR\r");
}

TEST_F(EventLog, MessagesWithAColonAreAlwaysAppended) {
  AddLogLine(L"Can not run C:\\Vantrel\\vtrel.updater.exe", 1);
  AddLogLine(L"Can not run C:\\Vantrel\\vtrel.updater.exe", 1);
  const std::wstring added = Added();
  EXPECT_EQ(std::count(added.begin(), added.end(), L'\r'), 2);
}

TEST_F(EventLog, MultiLineMessageKeepsItsLineBreakAndIsStillOneRepeat) {
  const std::wstring repair = L"Found no WMR Headset Registry Entry\r>>>>>>>>> Try to repair";
  AddLogLine(repair, 1);
  AddLogLine(repair, 1);
  const std::wstring added = Added();
  EXPECT_EQ(added.size(), 10 + repair.size() + 1);
  EXPECT_EQ(added.substr(10), repair + L"\r");
}

TEST_F(EventLog, EveryChangeTellsTheViewButARepeatDoesNot) {
  const int before = sim::LogChanges();
  AddLogLine(L"WMR headset is now online", 0);
  AddLogLine(L"WMR headset is now online", 0);
  EXPECT_EQ(sim::LogChanges() - before, 1);
}

// The comparison text computed the long way: reverse the whole log, find the
// first ":" at or after the second character, take that many characters
// less two from the end, strip CRs from both ends.
std::wstring LastEntryByReversal(const std::wstring& log) {
  const std::wstring reversed(log.rbegin(), log.rend());
  const size_t found = reversed.size() < 2 ? std::wstring::npos : reversed.find(L':', 1);
  const long p = found == std::wstring::npos ? 0 : static_cast<long>(found) + 1;
  if (p - 2 <= 0) return std::wstring();
  std::wstring piece = log.substr(log.size() - static_cast<size_t>(p - 2));
  while (!piece.empty() && piece.front() == L'\r') piece.erase(piece.begin());
  while (!piece.empty() && piece.back() == L'\r') piece.pop_back();
  return piece;
}

TEST(LastEntryText, MatchesTheWholeLogReversalOnRandomLogs) {
  std::mt19937 random(7);
  const std::wstring alphabet = L"ab:\r !";
  for (int round = 0; round < 5000; ++round) {
    std::wstring log;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) log += alphabet[random() % alphabet.size()];
    ASSERT_EQ(LastEntryText(log), LastEntryByReversal(log)) << round;
  }
  EXPECT_EQ(LastEntryText(L""), L"");
  EXPECT_EQ(LastEntryText(L"09:05:07: Found SteamVR\r"), L"Found SteamVR");
}

// The whole operation written out literally: the comparison text by
// reversal, then the entry appended with the given time stamp.
void AddLogLineLiterally(std::wstring& log, const std::wstring& message, int errorFlag,
                         const std::wstring& stamp) {
  if (message == LastEntryByReversal(log)) return;
  log += stamp + (errorFlag != 0 ? L"!" : L" ") + message + L"\r";
}

TEST_F(EventLog, RandomCallsLeaveTheLogTheLiteralRuleLeaves) {
  const std::vector<std::wstring> messages = {
      L"Found SteamVR",
      L"Can not find SteamVR",
      L"",
      L"New Version V (2024.5.1.2)",
      L"a:b",
      L":",
      L"x\r",
      L"\r",
      L"Found no WMR Headset Registry Entry\r>>> Try to repair",
      L"Found SteamVR\r",
      L"!",
      L" "};
  std::mt19937 random(11);
  // Starting a minute before midnight, the clock runs into the next day.
  sim::SetTimeOfDay(23, 59, 0);
  long secondOfDay = 23 * 3600 + 59 * 60;
  std::wstring expected = LogText();
  for (int call = 0; call < 1500; ++call) {
    const int stepSeconds = static_cast<int>(random() % 3);
    sim::AdvanceMs(stepSeconds * 1000);
    secondOfDay = (secondOfDay + stepSeconds) % 86400;
    wchar_t stamp[16];
    std::swprintf(stamp, 16, L"%02ld:%02ld:%02ld:", secondOfDay / 3600, secondOfDay / 60 % 60,
                  secondOfDay % 60);
    const std::wstring& message = messages[random() % messages.size()];
    const int errorFlag = static_cast<int>(random() % 3) - 1;  // -1, 0 or 1
    AddLogLineLiterally(expected, message, errorFlag, stamp);
    AddLogLine(message, errorFlag);
    ASSERT_EQ(LogText(), expected) << "call " << call;
  }
  EXPECT_NE(expected.find(L"\r00:0"), std::wstring::npos);  // the run crossed midnight
}

TEST_F(EventLog, LinesFromManyThreadsStayWholeAndInOrder) {
  constexpr int kThreads = 6;
  constexpr int kLines = 300;
  sim::SetTimeOfDay(8, 0, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i) {
        AddLogLine(L"thread " + std::to_wstring(t) + L" line " + std::to_wstring(i), t % 2);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  const std::wstring added = Added();
  std::vector<int> nextLine(kThreads, 0);
  size_t begin = 0;
  while (begin < added.size()) {
    const size_t end = added.find(L'\r', begin);
    ASSERT_NE(end, std::wstring::npos);
    const std::wstring entry = added.substr(begin, end - begin);
    const int t = entry.size() > 17 ? entry[17] - L'0' : -1;
    ASSERT_TRUE(t >= 0 && t < kThreads) << "broken entry of " << entry.size() << " characters";
    const std::wstring whole = std::wstring(L"08:00:00:") + (t % 2 ? L"!" : L" ") + L"thread " +
                               std::to_wstring(t) + L" line " + std::to_wstring(nextLine[t]);
    ASSERT_EQ(entry, whole);
    ++nextLine[t];
    begin = end + 1;
  }
  EXPECT_EQ(nextLine, std::vector<int>(kThreads, kLines));
}

}  // namespace
