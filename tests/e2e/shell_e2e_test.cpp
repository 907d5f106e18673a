// What Vantrel starts for the user, end to end: it runs at the user's level,
// started by the desktop's shell (Explorer) rather than as a child of the
// elevated program, or not at all.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLogView = 34;
constexpr int kMenuStartSteamVR = 3;
constexpr int kMenuSteamVrWmrSettings = 9;
constexpr wchar_t kSteamHandler[] = L"steam-handler.exe";
constexpr wchar_t kSteamKey[] = L"Software\\Valve\\Steam";
constexpr wchar_t kSettingsProgram[] =
    L"Steam\\steamapps\\common\\MixedRealityVRDriver\\bin\\win64\\OpenVRSettingsUX.exe";

void Choose(HWND window, int item) { PostMessageW(window, WM_COMMAND, item, 0); }

bool Records(const ProgramFolder& folder, const std::wstring& recorder, const std::string& line) {
  return e2e::WaitUntil(
      [&] { return folder.Read(recorder + L".log").find(line) != std::string::npos; }, kTimeoutMs);
}

// Holds Explorer's threads still while it lives, all but the desktop's own:
// the shell no longer answers COM calls nor starts anything, as when it
// hangs, while the desktop and the tray Vantrel also talks to stay up.
class HeldExplorer {
 public:
  HeldExplorer() { ForEachExplorerThread(threads_); }
  ~HeldExplorer() {
    for (const UniqueHandle& thread : threads_) ResumeThread(thread.Get());
  }
  HeldExplorer(const HeldExplorer&) = delete;
  HeldExplorer& operator=(const HeldExplorer&) = delete;

 private:
  static DWORD ExplorerId() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
      if (_wcsicmp(entry.szExeFile, L"explorer.exe") == 0) return entry.th32ProcessID;
    }
    return 0;
  }

  static void ForEachExplorerThread(std::vector<UniqueHandle>& held) {
    const DWORD explorer = ExplorerId();
    bool desktopThreadSeen = false;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
      if (explorer == 0 || entry.th32OwnerProcessID != explorer) continue;
      // The first is the desktop's own thread, which keeps the taskbar and
      // the tray answering.
      if (!desktopThreadSeen) {
        desktopThreadSeen = true;
        continue;
      }
      UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
      if (thread && SuspendThread(thread.Get()) != static_cast<DWORD>(-1)) {
        held.push_back(std::move(thread));
      }
    }
  }

  std::vector<UniqueHandle> threads_;
};

class ShellStarts : public ::testing::Test {
 protected:
  void SetUp() override { folder.AddLaunchRecorder(kSteamHandler); }

  void TearDown() override {
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    if (program.IsRunning()) program.WaitForExit(10000);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSteamKey);
  }

  void StartProgram() {
    program = e2e::Start(folder);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
  }

  std::string LogText() const {
    const std::wstring text = e2e::WindowTitle(e2e::FindControl(window, kLogView));
    return std::string(text.begin(), text.end());
  }

  bool LogShows(const std::wstring& part) const {
    return e2e::WaitForControlText(window, kLogView, part, kTimeoutMs);
  }

  ProgramFolder folder;
  e2e::SteamUrlHandler handler{folder, kSteamHandler};
  RunningProgram program;
  HWND window = nullptr;
};

TEST_F(ShellStarts, SteamVRAndTheDriverSettingsStartFromTheDesktopShell) {
  folder.AddLaunchRecorder(kSettingsProgram);
  const std::wstring steamPath = folder.PathOf(L"Steam");
  RegSetKeyValueW(HKEY_CURRENT_USER, kSteamKey, L"SteamPath", REG_SZ, steamPath.c_str(),
                  static_cast<DWORD>((steamPath.size() + 1) * sizeof(wchar_t)));
  StartProgram();
  ASSERT_TRUE(LogShows(L": Found OpenVRSettingsUX.exe"));

  Choose(window, kMenuStartSteamVR);
  EXPECT_TRUE(Records(folder, kSteamHandler, "explorer.exe steam://rungameid/250820\n"))
      << LogText();
  Choose(window, kMenuSteamVrWmrSettings);
  EXPECT_TRUE(Records(folder, kSettingsProgram, "explorer.exe \n")) << LogText();
  e2e::SaveScreenshot(L"shell-starts");
}

// Under Wine every process ends with the desktop's Explorer, so a shell that
// does not answer stands for one that is not there.
TEST_F(ShellStarts, WithoutAnAnsweringDesktopShellNothingIsStarted) {
  StartProgram();
  {
    const HeldExplorer held;
    Choose(window, kMenuStartSteamVR);
    EXPECT_TRUE(LogShows(L":!Could not open steam://rungameid/250820 without administrator rights"))
        << LogText();
  }
  // Nor once Explorer answers again: the link was reported as not opened.
  Sleep(3000);
  EXPECT_FALSE(folder.Exists(std::wstring(kSteamHandler) + L".log"));
}

}  // namespace
