// Running programs for real: Wine's own cmd.exe stands in for a console
// program that reports an exit code and the folder it ran in.
#include "base/run_program.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/files.h"

namespace {

class RunProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"vantrel-run-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
  }

  void TearDown() override {
    DeleteFileW((folder + L"\\where.txt").c_str());
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring folder;
};

TEST_F(RunProgramTest, WaitedRunGivesTheExitCodeAndAStartedOneZero) {
  EXPECT_EQ(RunProgram(L"cmd", L"/c exit 7", {.hidden = true, .wait = true}), 7);
  EXPECT_EQ(RunProgram(L"cmd", L"/c exit 0", {.hidden = false, .wait = true}), 0);
  EXPECT_EQ(RunProgram(L"cmd", L"/c exit 7", {.hidden = true, .wait = false}), 0);
}

TEST_F(RunProgramTest, MissingProgramIsNotStartedEitherWay) {
  EXPECT_EQ(RunProgram(L"vantrel-no-such-program", L"", {.hidden = true, .wait = true}),
            kProgramNotStarted);
  EXPECT_EQ(RunProgram(L"vantrel-no-such-program", L"/x", {}), kProgramNotStarted);
}

TEST_F(RunProgramTest, FileThatIsNoProgramIsNotHandedToTheShell) {
  // The shell would open it with its associated program (a text editor).
  const std::wstring text = folder + L"\\notes.txt";
  ASSERT_TRUE(ReplaceFileContents(text, "not a program"));
  EXPECT_EQ(RunProgram(text, L"", {.hidden = true, .wait = false}), kProgramNotStarted);
  // A working folder that is not there makes process creation fail; the
  // shell would start the program elsewhere.
  EXPECT_EQ(RunProgram(L"cmd", L"/c exit 7", {.hidden = true, .wait = true}, folder + L"\\missing"),
            kProgramNotStarted);
  DeleteFileW(text.c_str());
}

TEST_F(RunProgramTest, RunsInTheWorkingFolderGivenAndOtherwiseInTheCurrentOne) {
  ASSERT_EQ(RunProgram(L"cmd", L"/c cd > where.txt", {.hidden = true, .wait = true}, folder), 0);
  std::string where;
  ASSERT_TRUE(ReadWholeFile(folder + L"\\where.txt", where));
  EXPECT_NE(where.find("vantrel-run-"), std::string::npos) << where;
  DeleteFileW((folder + L"\\where.txt").c_str());

  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(folder.c_str());
  const int exitCode = RunProgram(L"cmd", L"/c cd > where.txt", {.hidden = true, .wait = true});
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(ReadWholeFile(folder + L"\\where.txt", where));
}

}  // namespace
