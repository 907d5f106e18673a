#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLogView = 34;

// Posts a tray menu command the way the tray menu delivers it.
void Choose(HWND window, int item) { PostMessageW(window, WM_COMMAND, item, 0); }

TEST(MainLoop, ExitFromTheTrayMenuEndsTheProgram) {
  ProgramFolder folder;
  RunningProgram program = e2e::Start(folder);
  HWND window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
  ASSERT_NE(window, nullptr);
  Choose(window, 11);
  EXPECT_TRUE(program.WaitForExit(10000));
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(MainLoop, StartSteamVRWhileItRunsEndsItAndLogsTheStop) {
  ProgramFolder folder;
  folder.AddStandIn(L"vrmonitor.exe");
  RunningProgram steamVR = e2e::Start(folder, L"vrmonitor.exe");
  RunningProgram program = e2e::Start(folder);
  HWND window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(steamVR.IsRunning());
  Choose(window, 3);
  EXPECT_TRUE(steamVR.WaitForExit(10000));
  EXPECT_TRUE(e2e::WaitForControlText(window, kLogView, L": SteamVR closed", kTimeoutMs));
  e2e::SaveScreenshot(L"log-steamvr-closed");
  Choose(window, 11);
  EXPECT_TRUE(program.WaitForExit(10000));
}

TEST(MainLoop, CloseButtonWithCloseToTrayHidesAndShowAppWindowBringsItBack) {
  ProgramFolder folder;
  folder.Write(L"Vantrel.ini", "CloseToTray = 1\r\n");
  RunningProgram program = e2e::Start(folder);
  HWND window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, kTimeoutMs));
  EXPECT_TRUE(program.IsRunning());
  Choose(window, 10);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
  PostMessageW(window, WM_CLOSE, 111, 0);
  EXPECT_TRUE(program.WaitForExit(10000));
}

}  // namespace
