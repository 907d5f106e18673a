#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/sim/sim.h"
#include "ui/event_log.h"

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

TEST_F(EventLog, LinesFromManyThreadsStayWhole) {
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
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
  size_t entries = 0;
  for (size_t begin = 0; begin < added.size(); ++entries) {
    const size_t end = added.find(L'\r', begin);
    ASSERT_NE(end, std::wstring::npos);
    const std::wstring entry = added.substr(begin, end - begin);
    ASSERT_EQ(entry.find(L"thread ", 10), 10u) << "entry broken: " << entry.size();
    begin = end + 1;
  }
  EXPECT_EQ(entries, static_cast<size_t>(kThreads * kLines));
}

}  // namespace
