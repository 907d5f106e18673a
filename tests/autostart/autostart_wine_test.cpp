// The task operations against a recording schtasks.exe stand-in in the
// system folder, where the program runs it from; a copy in the current
// directory, which the search path would prefer, is never run.
#include "autostart/autostart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "base/program_state.h"
#include "base/run_program.h"
#include "base/text.h"
#include "tests/autostart/schtasks_standin.h"

namespace {

constexpr wchar_t kProgram[] = L"C:\\Program Files\\Vantrel Test\\Vantrel.exe";
// Hidden, and with an input that ends at once, so a question schtasks asks
// is refused instead of waiting for an answer.
const std::string kSchtasks = "\"" + ToUtf8(SystemProgramPath(L"schtasks.exe")) + "\"";
const std::string kQuery = kSchtasks + " /Query /TN \"Vantrel\"\thidden\tempty";

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

class AutostartTask : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"vantrel-autostart-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring standIn = OwnFolder() + L"schtasks_standin.exe";
    ASSERT_TRUE(autostart_test::InstallSchtasksStandIn(standIn));
    ASSERT_TRUE(CopyFileW(standIn.c_str(), (folder + L"\\schtasks.exe").c_str(), FALSE));
    GetCurrentDirectoryW(MAX_PATH, previousDirectory);
    SetCurrentDirectoryW(folder.c_str());
    Identity().programPath = kProgram;
    ProgramFolderTrusted() = true;
  }

  void TearDown() override {
    SetCurrentDirectoryW(previousDirectory);
    for (const std::wstring& file : FilesInDirectory(folder))
      DeleteFileW((folder + L"\\" + file).c_str());
    RemoveDirectoryW(folder.c_str());
    for (const wchar_t* file :
         {L"schtasks-calls.txt", L"schtasks-tasks.txt", L"schtasks-hang.txt"}) {
      DeleteFileW(SystemProgramPath(file).c_str());
    }
  }

  // The stand-in's record: one line per run, its command line and whether
  // it was started hidden.
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

  std::wstring folder;
  wchar_t previousDirectory[MAX_PATH] = {};
};

TEST_F(AutostartTask, ClickCreatesTheTaskAndTheNextOneDeletesIt) {
  EXPECT_NE(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_EQ(QueryAutostartTask(), 0);
  ToggleAutostartTask();
  EXPECT_NE(QueryAutostartTask(), 0);

  // Each line was written by the stand-in just before it ended, so the
  // operations waited for every run.
  const std::string create = kSchtasks +
                             " /Create /SC ONLOGON /DELAY 0000:20 /TN \"Vantrel\" /TR \"\\\"" +
                             ToUtf8(kProgram) + "\\\"\" /RL HIGHEST\thidden\tempty";
  const std::string remove = kSchtasks + " /Delete /TN \"Vantrel\" /F\thidden\tempty";
  EXPECT_EQ(Calls(),
            (std::vector<std::string>{kQuery, kQuery, create, kQuery, kQuery, remove, kQuery}));
  EXPECT_EQ(FileSizeOf(folder + L"\\schtasks-calls.txt"), -1);
}

// The task runs its action as a command line: the path with spaces must
// arrive there in quotes to name the whole program.
TEST_F(AutostartTask, TaskRunsTheWholePathWithItsSpaces) {
  ToggleAutostartTask();
  std::string tasks;
  ReadWholeFile(SystemProgramPath(L"schtasks-tasks.txt"), tasks);
  EXPECT_EQ(tasks, "VANTREL\t" + ToUtf8(kProgram) + "\n");
}

TEST_F(AutostartTask, SchtasksThatNeverEndsIsEndedAfter30SecondsAndCountsAsFailed) {
  ReplaceFileContents(SystemProgramPath(L"schtasks-tasks.txt"), "VANTREL\tD:\\Vantrel.exe\n");
  ReplaceFileContents(SystemProgramPath(L"schtasks-hang.txt"), "");
  const ULONGLONG start = GetTickCount64();
  EXPECT_NE(QueryAutostartTask(), 0);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 29000u);
  EXPECT_LT(took, 40000u);
  // Ended, not left behind: its program file is free again.
  EXPECT_TRUE(DeleteFileW(SystemProgramPath(L"schtasks.exe").c_str()));
}

TEST_F(AutostartTask, QueryReturnsTheExitCodeOfSchtasks) {
  EXPECT_EQ(QueryAutostartTask(), 1);
  ReplaceFileContents(SystemProgramPath(L"schtasks-tasks.txt"),
                      "VANTREL\tD:\\Elsewhere\\Vantrel.exe\n");
  EXPECT_EQ(QueryAutostartTask(), 0);
  ASSERT_EQ(Calls().size(), 2u);
}

}  // namespace
