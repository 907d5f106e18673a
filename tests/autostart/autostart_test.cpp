#include "autostart/autostart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/program_state.h"
#include "tests/sim/sim.h"

namespace {

using Runs = std::vector<std::wstring>;

constexpr wchar_t kQuery[] = L"/Query /TN \"Vantrel\"";
constexpr wchar_t kDelete[] = L"/Delete /TN \"Vantrel\" /F";

class Autostart : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    Identity().programPath = L"D:\\VR\\Vantrel.exe";
    ProgramFolderTrusted() = true;
  }
};

TEST_F(Autostart, ClickWithoutTaskCreatesItForTheRunningProgram) {
  ASSERT_NE(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_EQ(QueryAutostartTask(), 0);  // the box is ticked
  EXPECT_EQ(sim::SchtasksRuns(),
            (Runs{kQuery, kQuery,
                  L"/Create /SC ONLOGON /DELAY 0000:20 /TN \"Vantrel\" /TR \"D:\\VR\\Vantrel.exe\" "
                  L"/RL HIGHEST",
                  kQuery}));
  EXPECT_EQ(sim::ScheduledTaskProgram(L"Vantrel"), L"D:\\VR\\Vantrel.exe");
}

TEST_F(Autostart, ClickWithTaskDeletesItWithoutAPrompt) {
  sim::PutScheduledTask(L"Vantrel", L"D:\\VR\\Vantrel.exe");
  ASSERT_EQ(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_NE(QueryAutostartTask(), 0);  // the box is cleared
  EXPECT_EQ(sim::SchtasksRuns(), (Runs{kQuery, kQuery, kDelete, kQuery}));
  EXPECT_FALSE(sim::HasScheduledTask(L"Vantrel"));
}

// schtasks takes the /TR text as a command line of its own: unquoted
// there, the task would run "C:\Program".
TEST_F(Autostart, PathWithSpacesIsQuotedInsideTheTaskAction) {
  Identity().programPath = L"C:\\Program Files\\My Tools\\Vantrel.exe";
  ToggleAutostartTask();
  ASSERT_EQ(sim::SchtasksRuns().size(), 2u);
  EXPECT_NE(
      sim::SchtasksRuns()[1].find(L" /TR \"\\\"C:\\Program Files\\My Tools\\Vantrel.exe\\\"\" "),
      std::wstring::npos)
      << sim::SchtasksRuns()[1];
  EXPECT_EQ(sim::ScheduledTaskProgram(L"Vantrel"), L"C:\\Program Files\\My Tools\\Vantrel.exe");
}

TEST_F(Autostart, TaskOfAMovedProgramIsDeletedFirstAndThenCreatedAnew) {
  sim::PutScheduledTask(L"Vantrel", L"E:\\Old\\Vantrel.exe");
  EXPECT_EQ(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_FALSE(sim::HasScheduledTask(L"Vantrel"));
  ToggleAutostartTask();
  EXPECT_EQ(sim::ScheduledTaskProgram(L"Vantrel"), L"D:\\VR\\Vantrel.exe");
}

TEST_F(Autostart, RefusedChangeLeavesTheRealStateForTheNextQuery) {
  sim::DenyTaskChanges();
  ToggleAutostartTask();
  EXPECT_NE(QueryAutostartTask(), 0);
  sim::PutScheduledTask(L"Vantrel", L"D:\\VR\\Vantrel.exe");
  ToggleAutostartTask();
  EXPECT_EQ(QueryAutostartTask(), 0);
}

TEST_F(Autostart, SchtasksThatCannotStartNeverReadsAsAnExistingTask) {
  sim::FailSchtasksStart();
  EXPECT_NE(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_NE(QueryAutostartTask(), 0);
  EXPECT_TRUE(sim::SchtasksRuns().empty());
}

}  // namespace
