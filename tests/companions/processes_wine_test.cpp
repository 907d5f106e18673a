// Process and window search against real processes: copies of the stand-in
// program under companion names, in a scratch folder of this test.
#include "companions/processes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/product.h"
#include "base/win32_handles.h"

namespace {

constexpr std::chrono::seconds kDeadline{20};

template <typename Condition>
bool WaitUntil(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kDeadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(10);
  }
  return true;
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring UniqueTag() {
  return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
}

// A folder of stand-in copies, removed with its files at the end of a test.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"vantrel-processes-" + UniqueTag() + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The stand-in copied under `name`; empty when the copy failed.
  std::wstring AddStandIn(const std::wstring& name) {
    const std::wstring target = path_ + name;
    if (!CopyFileW((OwnFolder() + L"standin.exe").c_str(), target.c_str(), FALSE)) return L"";
    files_.push_back(target);
    return target;
  }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

// A started program, terminated and waited for at the end of a test if it
// still runs.
struct Child {
  UniqueHandle process;
  DWORD id = 0;

  Child() = default;
  Child(Child&&) = default;
  ~Child() {
    if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.Get(), 99);
      WaitForSingleObject(process.Get(), 10000);
    }
  }

  bool Exited() const { return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return code;
  }
};

Child Start(const std::wstring& program, const std::wstring& title = L"") {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!title.empty()) commandLine += L" " + title;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  Child child;
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &info)) {
    UniqueHandle thread(info.hThread);
    child.process.Reset(info.hProcess);
    child.id = info.dwProcessId;
  }
  return child;
}

}  // namespace

// Each test uses image names of its own: CTest may run them side by side in
// one Wine prefix, and they must not find each other's processes.

TEST(ProcessesWine, FindsAndTerminatesStandInsByExecutableName) {
  ScratchFolder folder;
  const std::wstring monitorPath = folder.AddStandIn(L"vrmonitor.exe");
  const std::wstring steamPath = folder.AddStandIn(L"steam.exe");
  ASSERT_FALSE(monitorPath.empty());
  ASSERT_FALSE(steamPath.empty());
  EXPECT_EQ(FindProcessId(L"vrmonitor.exe"), 0u);
  Child monitor = Start(monitorPath);
  Child steam = Start(steamPath);
  ASSERT_NE(monitor.id, 0u);
  ASSERT_NE(steam.id, 0u);

  ASSERT_TRUE(WaitUntil([&] { return FindProcessId(L"vrmonitor.exe") == monitor.id; }));
  ASSERT_TRUE(WaitUntil([&] { return FindProcessId(L"steam.exe") == steam.id; }));
  EXPECT_EQ(FindProcessId(L"VRMONITOR.EXE"), monitor.id);
  EXPECT_EQ(FindProcessId(L"Steam.Exe"), steam.id);
  EXPECT_EQ(FindProcessId(steamPath), 0u) << "a full path is compared whole";
  EXPECT_EQ(FindProcessId(L"vrmonitor"), 0u);

  EXPECT_EQ(TerminateProcessById(steam.id), 1);
  ASSERT_TRUE(WaitUntil([&] { return FindProcessId(L"steam.exe") == 0; }));
  ASSERT_TRUE(WaitUntil([&] { return steam.Exited(); }));
  EXPECT_EQ(steam.ExitCode(), 1u);
  EXPECT_EQ(FindProcessId(L"vrmonitor.exe"), monitor.id) << "only the one process ends";

  EXPECT_EQ(TerminateProcessById(FindProcessId(L"vrmonitor.exe")), 1);
  ASSERT_TRUE(WaitUntil([&] { return FindProcessId(L"vrmonitor.exe") == 0; }));
  EXPECT_EQ(TerminateProcessById(FindProcessId(L"vrmonitor.exe")), 0) << "nothing left to end";
}

TEST(ProcessesWine, FindOtherProcessIdSkipsTheExcludedProcess) {
  ScratchFolder folder;
  const std::wstring path = folder.AddStandIn(L"Vantrel.exe");
  ASSERT_FALSE(path.empty());
  Child first = Start(path);
  Child second = Start(path);
  ASSERT_NE(first.id, 0u);
  ASSERT_NE(second.id, 0u);

  ASSERT_TRUE(WaitUntil([&] { return FindOtherProcessId(L"vantrel.exe", first.id) == second.id; }));
  ASSERT_TRUE(WaitUntil([&] { return FindOtherProcessId(L"VANTREL.EXE", second.id) == first.id; }));
  const ProcessId found = FindProcessId(L"Vantrel.exe");
  EXPECT_TRUE(found == first.id || found == second.id);
  EXPECT_EQ(FindOtherProcessId(L"Vantrel.exe", 0), found) << "0 excludes nothing";

  ASSERT_EQ(TerminateProcessById(first.id), 1);
  ASSERT_TRUE(WaitUntil([&] { return FindOtherProcessId(L"Vantrel.exe", second.id) == 0; }));
  EXPECT_EQ(FindProcessId(L"Vantrel.exe"), second.id);
}

TEST(ProcessesWine, TerminateProcessByIdRefusesIdZeroAndMissingProcesses) {
  EXPECT_EQ(TerminateProcessById(0), 0);
  // Process ids are multiples of four and stay far below this one.
  EXPECT_EQ(TerminateProcessById(0xFFFFFFFC), 0);
  EXPECT_EQ(FindProcessId(L"no-such-program.exe"), 0u);
  // Processes that are still starting can be listed without a name.
  EXPECT_EQ(FindProcessId(L""), 0u);
  EXPECT_EQ(CurrentProcessId(), GetCurrentProcessId());
}

TEST(ProcessesWine, FindsTheProgramWindowByClassAndImageAndClosesIt) {
  const std::wstring tag = UniqueTag();
  const std::wstring image = OwnFolder() + L"standin.exe";
  Child program = Start(image, L"/program-class probe " + tag);
  ASSERT_NE(program.id, 0u);
  ProgramWindow found;
  ASSERT_TRUE(WaitUntil([&] {
    return (found = FindProgramWindow(kMainWindowClass, image, 0)).window != 0 || program.Exited();
  }));
  // Wine cannot create windows without a display; the stand-in then exits with 3.
  ASSERT_FALSE(program.Exited()) << "stand-in exited early with code " << program.ExitCode();
  EXPECT_EQ(found.owner, program.id);
  DWORD owner = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(found.window), &owner);
  EXPECT_EQ(owner, program.id);
  // The image's path is what QueryFullProcessImageNameW reports; class and
  // file name in other case.
  EXPECT_EQ(FindProgramWindow(L"VANTRELMAINWINDOW", L"STANDIN.EXE", 0).window, found.window);
  EXPECT_EQ(FindProgramWindow(kMainWindowClass, image, program.id).window, 0u);
  EXPECT_EQ(FindProgramWindow(kMainWindowClass, OwnFolder() + L"x\\standin.exe", 0).window, 0u);
  EXPECT_EQ(FindProgramWindow(L"VantrelTestStandIn", image, program.id).window, 0u);

  EXPECT_EQ(TerminateProcessRunning(program.id, OwnFolder() + L"x\\standin.exe"), 0);
  EXPECT_EQ(TerminateProcessRunning(program.id, L"Vantrel.exe"), 0);
  ASSERT_TRUE(PostCloseMessage(found.window, 111));
  ASSERT_TRUE(WaitUntil([&] { return program.Exited(); }));
  EXPECT_EQ(program.ExitCode(), 111u) << "not terminated; WM_CLOSE carries the given wParam";
  EXPECT_TRUE(WaitUntil([&] { return FindProgramWindow(kMainWindowClass, image, 0).window == 0; }));
  EXPECT_FALSE(PostCloseMessage(0, 111));
}

TEST(ProcessesWine, FindProgramWindowSurvivesWindowsClosingDuringTheSearch) {
  const std::wstring image = OwnFolder() + L"standin.exe";
  Child target = Start(image, L"/program-class search target " + UniqueTag());
  ASSERT_NE(target.id, 0u);
  WindowHandle window = 0;
  ASSERT_TRUE(WaitUntil([&] {
    return (window = FindProgramWindow(kMainWindowClass, image, 0).window) != 0 || target.Exited();
  }));
  ASSERT_FALSE(target.Exited()) << "stand-in exited early with code " << target.ExitCode();

  // New windows go on top of the Z order, so every search walks through the
  // churning windows before it reaches the target.
  Child churn = Start(image, L"/churn");
  ASSERT_NE(churn.id, 0u);
  ASSERT_TRUE(WaitUntil([&] {
    return FindProgramWindow(L"VantrelTestStandIn", image, 0).window != 0 || churn.Exited();
  }));
  ASSERT_FALSE(churn.Exited()) << "churn stand-in exited early with code " << churn.ExitCode();
  int misses = 0;
  for (int search = 0; search < 300; ++search) {
    if (FindProgramWindow(kMainWindowClass, image, 0).window != window) ++misses;
  }
  EXPECT_EQ(misses, 0);
}
