// "Start with Windows" against a recording schtasks.exe in the system
// folder, where the program runs it from; a copy in the program folder,
// which the search path would prefer, is never run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "base/run_program.h"
#include "base/text.h"
#include "e2e_paths.h"
#include "tests/autostart/schtasks_standin.h"
#include "tests/e2e/harness.h"
#include "tests/update/update_policy.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLabelVantrel = 2;
constexpr int kBoxStartWithWindows = 21;
constexpr int kLogView = 34;
// A folder with spaces, as under "Program Files".
constexpr wchar_t kProgramFolder[] = L"My Programs\\Vantrel Tool";
const std::string kSchtasks = "\"" + ToUtf8(SystemProgramPath(L"schtasks.exe")) + "\"";
const std::string kQuery = kSchtasks + " /Query /TN \"Vantrel\"\thidden\tempty";

class AutostartE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.MakeFolder(L"My Programs");
    folder.MakeFolder(kProgramFolder);
    programName = std::wstring(kProgramFolder) + L"\\Vantrel.exe";
    folder.AddProgramCopy(programName);
    ASSERT_TRUE(autostart_test::InstallSchtasksStandIn(kSchtasksStandIn));
    ASSERT_TRUE(CopyFileW(kSchtasksStandIn, InProgramFolder(L"schtasks.exe").c_str(), FALSE));
    // Every folder under Wine is the user's own; the administrator's policy
    // accepts it.
    update_test::AllowUnprotectedFolder();
  }

  void StartProgram() {
    program = e2e::Start(folder, programName);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
    box = e2e::FindControl(window, kBoxStartWithWindows);
    ASSERT_NE(box, nullptr);
    HWND label = e2e::FindControl(window, kLabelVantrel);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }

  void TearDown() override {
    update_test::RemoveUpdatePolicy();
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    program.WaitForExit(10000);
    EXPECT_FALSE(folder.Exists(std::wstring(kProgramFolder) + L"\\schtasks-calls.txt"));
    for (const wchar_t* file :
         {L"schtasks-calls.txt", L"schtasks-tasks.txt", L"schtasks-deny.txt"}) {
      DeleteFileW(SystemProgramPath(file).c_str());
    }
  }

  std::wstring InProgramFolder(const std::wstring& name) const {
    return folder.PathOf(std::wstring(kProgramFolder) + L"\\" + name);
  }

  std::vector<std::string> Calls() const {
    std::string bytes;
    ReadWholeFile(SystemProgramPath(L"schtasks-calls.txt"), bytes);
    std::vector<std::string> lines;
    for (size_t start = 0; start < bytes.size();) {
      const size_t end = bytes.find('\n', start);
      lines.push_back(bytes.substr(start, end - start));
      start = end == std::string::npos ? bytes.size() : end + 1;
    }
    return lines;
  }

  bool Checked() const { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

  ProgramFolder folder;
  std::wstring programName;
  RunningProgram program;
  HWND window = nullptr;
  HWND box = nullptr;
};

TEST_F(AutostartE2e, ClickCreatesTheTaskAndASecondClickDeletesIt) {
  StartProgram();
  // The page was built from a query: no task, box cleared.
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 1; }, kTimeoutMs));
  EXPECT_EQ(Calls()[0], kQuery);
  EXPECT_FALSE(Checked());

  SendMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 4; }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitUntil([&] { return Checked(); }, kTimeoutMs));
  std::string path;
  for (wchar_t c : InProgramFolder(L"Vantrel.exe")) path += static_cast<char>(c);
  EXPECT_EQ(Calls()[1], kQuery);
  // The folder has spaces: the task's own command line quotes the path.
  EXPECT_EQ(Calls()[2], kSchtasks +
                            " /Create /SC ONLOGON /DELAY 0000:20 /TN \"Vantrel\" /TR "
                            "\"\\\"" +
                            path + "\\\"\" /RL HIGHEST\thidden\tempty");
  std::string tasks;
  ReadWholeFile(SystemProgramPath(L"schtasks-tasks.txt"), tasks);
  EXPECT_EQ(tasks, "VANTREL\t" + path + "\n");
  EXPECT_EQ(Calls()[3], kQuery);
  e2e::SaveScreenshot(L"autostart-ticked");

  SendMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 7; }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Checked(); }, kTimeoutMs));
  EXPECT_EQ(Calls()[4], kQuery);
  EXPECT_EQ(Calls()[5], kSchtasks + " /Delete /TN \"Vantrel\" /F\thidden\tempty");
  EXPECT_EQ(Calls()[6], kQuery);
}

TEST_F(AutostartE2e, BoxShowsTheExistingTaskAndARefusedDeleteKeepsItTicked) {
  ReplaceFileContents(SystemProgramPath(L"schtasks-tasks.txt"),
                      "VANTREL\tD:\\Elsewhere\\Vantrel.exe\n");
  ReplaceFileContents(SystemProgramPath(L"schtasks-deny.txt"), "");
  StartProgram();
  EXPECT_TRUE(e2e::WaitUntil([&] { return Checked(); }, kTimeoutMs));
  // The click itself clears an automatic check box; the fresh query puts
  // the tick back, since the task is still there.
  SendMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 4; }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitUntil([&] { return Checked(); }, kTimeoutMs));
  EXPECT_EQ(Calls()[2], kSchtasks + " /Delete /TN \"Vantrel\" /F\thidden\tempty");
}

// Without that policy the user's processes could change what the task
// would run elevated at each log-on: the click creates nothing and says why,
// and a task that is already there is reported at start-up.
TEST_F(AutostartE2e, FolderTheUserCanChangeGetsNoTaskAndAnOldOneIsReported) {
  constexpr wchar_t kAdvice[] =
      L"Move Vantrel to a folder only administrators can change, such as Program Files";
  update_test::RemoveUpdatePolicy();
  StartProgram();
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 1; }, kTimeoutMs));
  SendMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Calls().size() == 3; }, kTimeoutMs));
  EXPECT_EQ(Calls(), (std::vector<std::string>{kQuery, kQuery, kQuery}));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !Checked(); }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitForControlText(
      window, kLogView,
      std::wstring(L"!Start with Windows stays off in a folder others can change: ") + kAdvice,
      kTimeoutMs));
  PostMessageW(window, WM_CLOSE, 111, 0);
  ASSERT_TRUE(program.WaitForExit(kTimeoutMs));

  ReplaceFileContents(SystemProgramPath(L"schtasks-tasks.txt"),
                      "VANTREL\t" + ToUtf8(InProgramFolder(L"Vantrel.exe")) + "\n");
  StartProgram();
  const std::wstring report =
      std::wstring(L"!Start with Windows runs Vantrel from a folder others can change: ") + kAdvice;
  EXPECT_TRUE(e2e::WaitForControlText(window, kLogView, report, kTimeoutMs));
  const std::wstring log = e2e::WindowTitle(e2e::FindControl(window, kLogView));
  EXPECT_EQ(log.find(report), log.rfind(report));
}

}  // namespace
