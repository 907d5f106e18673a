// The headset commands end to end: the real program with a simulated
// headset, whose two device nodes the test-only configuration manager
// library keeps in the prefix's registry.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tests/e2e/harness.h"
#include "tests/e2e/simulated_headset.h"

namespace {

using e2e::kHeadsetNode;
using e2e::kSensorsNode;
using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr wchar_t kProgram[] = L"VantrelHmd.exe";
constexpr wchar_t kFailEnableKey[] = L"Software\\VantrelTest\\DeviceNodes\\FailEnable";
constexpr DWORD kRunning = e2e::kNodeRunning;
constexpr DWORD kDisabled = e2e::kNodeDisabled;
constexpr DWORD kTimeoutMs = 20000;
constexpr int kLogView = 34;

void Choose(HWND window, int item) { PostMessageW(window, WM_COMMAND, item, 0); }

DWORD ReadDword(const wchar_t* key, const wchar_t* name, DWORD missing) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  const LSTATUS status =
      RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return status == ERROR_SUCCESS ? value : missing;
}

DWORD NodeProblem(const wchar_t* id) { return ReadDword(e2e::kSimulatedNodesKey, id, 0xFFFF); }
DWORD StatusQueries() { return ReadDword(e2e::kSimulatedHeadsetTestKey, L"StatusQueries", 0); }

class Headset : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::RemoveSimulatedHeadset(kProgram);
    ASSERT_TRUE(e2e::UseFakeConfigManager(kProgram));
    e2e::PutFriendlyName(kSensorsNode, L"HoloLens Sensors");
    e2e::PutFriendlyName(kHeadsetNode, L"Acme Virtual Reality Headset");
  }

  void TearDown() override {
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    if (program.IsRunning()) program.WaitForExit(10000);
    e2e::RemoveSimulatedHeadset(kProgram);
  }

  // Starts the program with both nodes in `problem` and waits until the
  // headset has been found.
  void StartWithHeadset(DWORD problem) {
    e2e::SetNode(kSensorsNode, problem);
    e2e::SetNode(kHeadsetNode, problem);
    program = e2e::Start(folder, kProgram);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(LogShows(L": Acme found!"));
  }

  std::wstring LogText() const { return e2e::WindowTitle(e2e::FindControl(window, kLogView)); }

  bool LogShows(const std::wstring& part, DWORD timeoutMs = kTimeoutMs) const {
    return e2e::WaitForControlText(window, kLogView, part, timeoutMs);
  }

  // Waits until the device search has looked at the nodes again: a pass
  // asks for three statuses, and two passes' worth means a whole one ran.
  static bool SearchPassed() {
    const DWORD before = StatusQueries();
    return e2e::WaitUntil([before] { return StatusQueries() >= before + 6; }, kTimeoutMs);
  }

  static bool NodesBecome(DWORD problem) {
    return e2e::WaitUntil(
        [problem] {
          return NodeProblem(kSensorsNode) == problem && NodeProblem(kHeadsetNode) == problem;
        },
        kTimeoutMs);
  }

  // The start goes on for a few seconds after the nodes are on (it gives
  // the Portal its chance), and the stop command is ignored until it has
  // ended and the search has seen the headset online.
  bool StopOnceTheStartHasEnded() const {
    return SearchPassed() &&
           e2e::WaitUntil(
               [this] {
                 Choose(window, 0);
                 return e2e::WaitUntil([] { return NodeProblem(kHeadsetNode) == kDisabled; }, 1000);
               },
               kTimeoutMs);
  }

  ProgramFolder folder{kProgram};
  RunningProgram program;
  HWND window = nullptr;
};

TEST_F(Headset, StartAndStopCommandsSwitchBothNodes) {
  StartWithHeadset(kDisabled);
  Choose(window, 0);
  EXPECT_TRUE(NodesBecome(kRunning));
  EXPECT_TRUE(LogShows(L": WMR headset is now online"));
  e2e::SaveScreenshot(L"headset-online");

  EXPECT_TRUE(StopOnceTheStartHasEnded());
  EXPECT_TRUE(NodesBecome(kDisabled));
  EXPECT_TRUE(LogShows(L": WMR headset is now offline"));
  e2e::SaveScreenshot(L"headset-offline");
}

// The elevated program takes system libraries from system32 only. A library
// planted beside it under the name of one it loads at run time (cfgmgr32)
// or once imported at start (bcrypt, now delay-loaded) is not loaded, even
// where the program folder would come first; the real ones still work.
// (Wine's own user32 imports version.dll, so a planted one of that name is
// taken before the program runs: only Windows can show that one.)
TEST_F(Headset, LibrariesPlantedBesideTheProgramAreNotLoaded) {
  const wchar_t* const planted[] = {L"cfgmgr32", L"bcrypt"};
  for (const wchar_t* library : planted) {
    ASSERT_TRUE(CopyFileW(e2e::TestLibrary(L"planted.dll").c_str(),
                          folder.PathOf(std::wstring(library) + L".dll").c_str(), FALSE));
    e2e::PreferNativeLibrary(kProgram, library);
  }
  StartWithHeadset(kDisabled);
  EXPECT_TRUE(LogShows(L": Opened CfgMgr32 API"));
  for (const wchar_t* library : planted) {
    EXPECT_FALSE(folder.Exists(std::wstring(library) + L".dll.loaded")) << library;
  }
}

TEST_F(Headset, RestartGoesThroughStopAndStart) {
  StartWithHeadset(kRunning);
  Choose(window, 1);
  ASSERT_TRUE(LogShows(L": WMR headset is now offline"));
  ASSERT_TRUE(LogShows(L": WMR headset is now online"));
  EXPECT_EQ(NodeProblem(kSensorsNode), kRunning);
  EXPECT_EQ(NodeProblem(kHeadsetNode), kRunning);
  const std::wstring log = LogText();
  EXPECT_LT(log.find(L"now offline"), log.find(L"now online"));
}

TEST_F(Headset, UnplugIsNoticedWithinOnePass) {
  StartWithHeadset(kRunning);
  e2e::Unplug(kSensorsNode);
  e2e::Unplug(kHeadsetNode);
  const ULONGLONG unpluggedAt = GetTickCount64();
  ASSERT_TRUE(LogShows(L":!Found no actual WMR Device in Registry"));
  // The next pass, at most two seconds on, notices it; the rest is margin
  // for a busy machine, short of a second pass.
  EXPECT_LT(GetTickCount64() - unpluggedAt, 3900u);

  e2e::SetNode(kSensorsNode, kRunning);
  e2e::SetNode(kHeadsetNode, kRunning);
  EXPECT_TRUE(e2e::WaitUntil(
      [this] {
        const std::wstring log = LogText();
        return log.find(L"Acme found!") != log.rfind(L"Acme found!");
      },
      kTimeoutMs));
}

TEST_F(Headset, NodeThatDoesNotComeOnIsReported) {
  const DWORD fails = 1;
  RegSetKeyValueW(HKEY_CURRENT_USER, kFailEnableKey, kSensorsNode, REG_DWORD, &fails,
                  sizeof(fails));
  StartWithHeadset(kDisabled);
  Choose(window, 0);
  // Fifty attempts, 200 ms apart.
  EXPECT_TRUE(LogShows(L":!Can not activate the Hololens Sensor device", 30000));
  EXPECT_EQ(NodeProblem(kHeadsetNode), kRunning);
  EXPECT_EQ(NodeProblem(kSensorsNode), kDisabled);
}

// "Restart" while the start still runs is ignored: it must not lie in wait
// and turn the user's later stop into a restart.
TEST_F(Headset, RestartDuringAStartThenStopLeavesTheHeadsetOff) {
  StartWithHeadset(kDisabled);
  Choose(window, 0);
  ASSERT_TRUE(NodesBecome(kRunning));
  Choose(window, 1);  // the start goes on for about five seconds
  EXPECT_TRUE(StopOnceTheStartHasEnded());
  ASSERT_TRUE(LogShows(L": WMR headset is now offline"));
  Sleep(20000);
  EXPECT_EQ(NodeProblem(kHeadsetNode), kDisabled);
  EXPECT_EQ(NodeProblem(kSensorsNode), kDisabled);
  EXPECT_EQ(LogText().find(L"now online", LogText().find(L"now offline")), std::wstring::npos);
}

// A Portal window whose thread has stopped answering, as a hung Portal's.
class HungPortalWindow {
 public:
  HungPortalWindow() {
    thread_ = std::thread([this] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = DefWindowProcW;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"ApplicationFrameWindow";
      RegisterClassW(&windowClass);
      window_ = CreateWindowW(L"ApplicationFrameWindow", L"Mixed Reality Portal",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
      SetEvent(created_.Get());
      WaitForSingleObject(release_.Get(), INFINITE);
      DestroyWindow(window_);
    });
    WaitForSingleObject(created_.Get(), INFINITE);
  }
  ~HungPortalWindow() {
    SetEvent(release_.Get());
    thread_.join();
  }

 private:
  UniqueHandle created_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HWND window_ = nullptr;
  std::thread thread_;
};

// Windows ending the session, and the updater's close, while a start runs
// that minimises a hung Portal: the program ends within the 40 s it gives
// the worker.
TEST_F(Headset, SessionEndAndUpdaterCloseDuringAStartEndTheProgramInTime) {
  folder.Write(L"Vantrel.ini", "MinimizeWMPortal = 1\r\n");
  const HungPortalWindow portal;
  for (const auto& [message, wParam] :
       {std::pair<UINT, WPARAM>{WM_QUERYENDSESSION, 0}, std::pair<UINT, WPARAM>{WM_CLOSE, 111}}) {
    StartWithHeadset(kDisabled);
    Choose(window, 0);
    ASSERT_TRUE(NodesBecome(kRunning));
    Sleep(500);  // the start has found the Portal's window
    PostMessageW(window, message, wParam, 0);
    EXPECT_TRUE(program.WaitForExit(45000)) << "message " << message;
    window = nullptr;
  }
}

// Steam appearing starts the headset and, with it, SteamVR without a click:
// through the desktop's shell, not as a child of the elevated program.
TEST_F(Headset, SteamStartsTheHeadsetAndSteamVRFromTheDesktopShell) {
  folder.Write(L"Vantrel.ini", "StartHMDwithSteam = 1\r\nAutoStartSteamVR = 1\r\n");
  folder.AddLaunchRecorder(L"steam-handler.exe");
  const e2e::SteamUrlHandler handler(folder, L"steam-handler.exe");
  folder.AddStandIn(L"steam.exe");
  StartWithHeadset(kDisabled);
  const RunningProgram steam = e2e::Start(folder, L"steam.exe");
  EXPECT_TRUE(NodesBecome(kRunning));
  EXPECT_TRUE(e2e::WaitUntil(
      [this] {
        return folder.Read(L"steam-handler.exe.log") == "explorer.exe steam://rungameid/250820\n";
      },
      kTimeoutMs))
      << folder.Read(L"steam-handler.exe.log");
}

}  // namespace
