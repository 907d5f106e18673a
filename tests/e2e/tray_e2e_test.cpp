// The tray icon and menu end to end. The icon is read where Wine's shell
// keeps it: each notification icon is a tool of a tooltip control in the
// desktop process, covering the spot where the icon is drawn (or naming
// the icon's own window, when the icons live in a window of their own).
// The tooltip text is asked for through memory in that process, since the
// control's messages carry pointers, and the visor colour is read from the
// screen at that spot. A removed icon's tool stays, covering nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/simulated_headset.h"
#include "ui/tray_win32.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr wchar_t kProgram[] = L"VantrelTray.exe";
constexpr DWORD kTimeoutMs = 20000;
constexpr wchar_t kNotFound[] = L"Vantrel - Headset not found";

struct ShellIcon {
  bool shown = false;
  RECT area{};  // on the screen
  std::wstring tooltip;
};

// A tool description and its text buffer, laid out in the shell's process.
struct RemoteTool {
  TTTOOLINFOW info;
  wchar_t text[256];
};

class RemoteMemory {
 public:
  explicit RemoteMemory(DWORD processId)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                             processId)) {
    if (process_) {
      address_ = static_cast<RemoteTool*>(
          VirtualAllocEx(process_.Get(), nullptr, sizeof(RemoteTool), MEM_COMMIT, PAGE_READWRITE));
    }
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
  }
  RemoteTool* address() const { return address_; }
  bool Write(const RemoteTool& tool) const {
    return WriteProcessMemory(process_.Get(), address_, &tool, sizeof(tool), nullptr);
  }
  bool Read(RemoteTool& tool) const {
    return ReadProcessMemory(process_.Get(), address_, &tool, sizeof(tool), nullptr);
  }

 private:
  UniqueHandle process_;
  RemoteTool* address_ = nullptr;
};

ShellIcon ShellIconOf(const RemoteTool& tool) {
  ShellIcon icon;
  icon.tooltip = tool.text;
  if (tool.info.uFlags & TTF_IDISHWND) {
    HWND window = reinterpret_cast<HWND>(tool.info.uId);
    icon.shown = IsWindowVisible(window) && GetWindowRect(window, &icon.area);
    return icon;
  }
  icon.area = tool.info.rect;
  icon.shown = !IsRectEmpty(&icon.area) && IsWindowVisible(tool.info.hwnd);
  MapWindowPoints(tool.info.hwnd, nullptr, reinterpret_cast<POINT*>(&icon.area), 2);
  return icon;
}

void ReadTools(HWND tooltip, std::vector<ShellIcon>& icons) {
  DWORD owner = 0;
  GetWindowThreadProcessId(tooltip, &owner);
  RemoteMemory memory(owner);
  if (!memory.address()) return;
  const LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    RemoteTool tool{};
    tool.info.cbSize = sizeof(tool.info);
    tool.info.lpszText = memory.address()->text;
    if (!memory.Write(tool)) return;
    if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(memory.address())))
      continue;
    // The enumeration hands back the tool; its text comes on request.
    memory.Read(tool);
    tool.info.lpszText = memory.address()->text;
    tool.text[0] = L'\0';
    memory.Write(tool);
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(tool.text),
                 reinterpret_cast<LPARAM>(memory.address()));
    memory.Read(tool);
    tool.text[std::size(tool.text) - 1] = L'\0';
    icons.push_back(ShellIconOf(tool));
  }
}

BOOL CALLBACK CollectTooltips(HWND window, LPARAM context) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, static_cast<int>(std::size(className)));
  if (std::wstring(className) == TOOLTIPS_CLASSW) {
    ReadTools(window, *reinterpret_cast<std::vector<ShellIcon>*>(context));
  }
  return TRUE;
}

// The program's icon as the shell shows it; not shown when it has none.
ShellIcon ProgramIcon() {
  std::vector<ShellIcon> icons;
  EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(&icons));
  for (const ShellIcon& icon : icons) {
    if (icon.shown && icon.tooltip.rfind(L"Vantrel - ", 0) == 0) return icon;
  }
  return ShellIcon{};
}

enum class Visor { kNone, kRed, kYellow, kGreen };

const char* Name(Visor visor) {
  switch (visor) {
    case Visor::kRed:
      return "red";
    case Visor::kYellow:
      return "yellow";
    case Visor::kGreen:
      return "green";
    default:
      return "none";
  }
}

Visor Classify(int red, int green, int blue) {
  if (red > 150 && green < 110 && blue < 110) return Visor::kRed;
  if (red > 170 && green > 140 && blue < 90) return Visor::kYellow;
  if (green > 120 && red < 130 && blue < 130) return Visor::kGreen;
  return Visor::kNone;
}

// The colour most of the icon's coloured pixels have on the screen.
Visor VisorOnScreen(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  int counts[4] = {};
  const auto* pixels = static_cast<const BYTE*>(bits);
  for (int at = 0; at < width * height; ++at) {
    const BYTE* pixel = pixels + at * 4;
    ++counts[static_cast<int>(Classify(pixel[2], pixel[1], pixel[0]))];
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  Visor best = Visor::kNone;
  for (Visor visor : {Visor::kRed, Visor::kYellow, Visor::kGreen}) {
    if (counts[static_cast<int>(visor)] > counts[static_cast<int>(best)] ||
        (best == Visor::kNone && counts[static_cast<int>(visor)] > 0)) {
      best = visor;
    }
  }
  return best;
}

// The tray menu the program has popped up, if any.
HWND OpenMenuOf(DWORD processId) {
  for (HWND menu = FindWindowW(L"#32768", nullptr); menu;
       menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (owner == processId && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

void PostTrayClick(HWND window, UINT mouseMessage) {
  PostMessageW(window, kTrayCallbackMessage, kTrayIconId, mouseMessage);
}

class Tray : public ::testing::Test {
 protected:
  void TearDown() override {
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    if (program.IsRunning()) program.WaitForExit(10000);
    e2e::RemoveSimulatedHeadset(kProgram);
  }

  void Start() {
    program = e2e::Start(folder, kProgram);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
  }

  // The program with a headset whose two nodes are in state `problem`.
  void StartWithHeadset(DWORD problem) {
    ASSERT_TRUE(e2e::UseFakeConfigManager(kProgram));
    e2e::PutFriendlyName(e2e::kSensorsNode, L"HoloLens Sensors");
    e2e::PutFriendlyName(e2e::kHeadsetNode, L"Acme Virtual Reality Headset");
    e2e::SetNode(e2e::kSensorsNode, problem);
    e2e::SetNode(e2e::kHeadsetNode, problem);
    Start();
  }

  // Waits until the shell shows the program's icon with `tooltip` and
  // `visor`; on a timeout the test reports what it showed instead.
  bool IconShows(const std::wstring& tooltip, Visor visor, DWORD timeoutMs = kTimeoutMs) {
    ShellIcon icon;
    Visor seen = Visor::kNone;
    const bool shown = e2e::WaitUntil(
        [&] {
          icon = ProgramIcon();
          seen = icon.shown ? VisorOnScreen(icon.area) : Visor::kNone;
          return icon.tooltip == tooltip && seen == visor;
        },
        timeoutMs);
    if (!shown) {
      std::wstring shownText = icon.tooltip;
      for (wchar_t& c : shownText) {
        if (c == L'\r') c = L'|';
      }
      ADD_FAILURE() << "tray shows \"" << std::string(shownText.begin(), shownText.end())
                    << "\" with a " << Name(seen) << " visor, wanted " << Name(visor);
    }
    return shown;
  }

  ProgramFolder folder{kProgram};
  RunningProgram program;
  HWND window = nullptr;
};

TEST_F(Tray, WithoutAHeadsetTheIconIsRedAndSaysNotFound) {
  Start();
  EXPECT_TRUE(IconShows(kNotFound, Visor::kRed));
}

TEST_F(Tray, IconFollowsTheHeadsetOfflineOnlineAndUnplugged) {
  StartWithHeadset(e2e::kNodeDisabled);
  EXPECT_TRUE(IconShows(L"Vantrel - Headset offline\rHMD: Acme", Visor::kYellow));
  e2e::SaveScreenshot(L"tray-offline");

  PostMessageW(window, WM_COMMAND, 0, 0);  // "Start WMR Headset"
  EXPECT_TRUE(IconShows(L"Vantrel - Headset online\rHMD: Acme", Visor::kGreen));
  e2e::SaveScreenshot(L"tray-online");

  e2e::Unplug(e2e::kSensorsNode);
  e2e::Unplug(e2e::kHeadsetNode);
  EXPECT_TRUE(IconShows(kNotFound, Visor::kRed));
}

TEST_F(Tray, RightClickOpensTheMenuAndItsChoiceArrives) {
  Start();
  ASSERT_TRUE(IconShows(kNotFound, Visor::kRed));
  PostTrayClick(window, WM_RBUTTONUP);
  HWND menu = nullptr;
  ASSERT_TRUE(
      e2e::WaitUntil([&] { return (menu = OpenMenuOf(program.id())) != nullptr; }, kTimeoutMs));
  e2e::SaveScreenshot(L"tray-menu");
  // The last item is "Exit": up once from no selection, then enter.
  PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(program.WaitForExit(10000));
  EXPECT_EQ(program.ExitCode(), 0u);
  window = nullptr;
  EXPECT_TRUE(e2e::WaitUntil([] { return !ProgramIcon().shown; }, kTimeoutMs))
      << "the icon is removed at exit";
}

TEST_F(Tray, LeftDoubleClickShowsTheHiddenWindowSingleClickDoesNothing) {
  folder.Write(L"Vantrel.ini", "StartMinimized = 1\r\n");
  Start();
  ASSERT_TRUE(IconShows(kNotFound, Visor::kRed));
  EXPECT_FALSE(IsWindowVisible(window));
  PostTrayClick(window, WM_LBUTTONDOWN);
  PostTrayClick(window, WM_LBUTTONUP);
  PostTrayClick(window, WM_RBUTTONDOWN);
  PostTrayClick(window, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
  EXPECT_EQ(OpenMenuOf(program.id()), nullptr);
}

TEST_F(Tray, CloseWithoutCloseToTrayEndsTheProgram) {
  folder.Write(L"Vantrel.ini", "CloseToTray = 0\r\n");
  Start();
  ASSERT_TRUE(IconShows(kNotFound, Visor::kRed));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(10000));
  window = nullptr;
}

TEST_F(Tray, CloseWithCloseToTrayHidesAndTheIconStays) {
  folder.Write(L"Vantrel.ini", "CloseToTray = 1\r\n");
  Start();
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, kTimeoutMs));
  EXPECT_TRUE(program.IsRunning());
  EXPECT_TRUE(IconShows(kNotFound, Visor::kRed));
}

// Explorer restarted: its new taskbar has none of the old icons and says so
// by broadcasting "TaskbarCreated".
TEST_F(Tray, TaskbarCreatedBringsTheLostIconBack) {
  Start();
  ASSERT_TRUE(IconShows(kNotFound, Visor::kRed));
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_TRUE(e2e::WaitUntil([] { return !ProgramIcon().shown; }, kTimeoutMs));

  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  // At once, not only when the next status poll finds the icon missing.
  EXPECT_TRUE(IconShows(kNotFound, Visor::kRed, 1500));
}

// Without the broadcast, the status poll finds out that the shell lost the
// icon and the icon watch adds it again.
TEST_F(Tray, IconLostWithoutNoticeComesBackAfterAPoll) {
  StartWithHeadset(e2e::kNodeRunning);
  ASSERT_TRUE(IconShows(L"Vantrel - Headset online\rHMD: Acme", Visor::kGreen));
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = kTrayIconId;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  EXPECT_TRUE(IconShows(L"Vantrel - Headset online\rHMD: Acme", Visor::kGreen));
}

}  // namespace
