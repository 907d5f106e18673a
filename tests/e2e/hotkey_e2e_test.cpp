// The tray-menu hotkey as a user meets it: the "Key" label opens the capture
// window, keys posted to it choose or abort, and the chosen key is shown,
// saved and registered.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLabelVantrel = 2;
constexpr int kLabelKey = 5;
constexpr int kBoxMenuHotkey = 28;
constexpr int kPrompt = 48;

void ClickLabel(HWND window, int id) {
  HWND label = e2e::FindControl(window, id);
  ASSERT_NE(label, nullptr) << "control " << id;
  PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void PressKey(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

// A key pressed on the keyboard, as the system's hotkey check sees it.
void TypeKey(WORD key) {
  INPUT presses[2] = {};
  for (INPUT& input : presses) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
  }
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, presses, sizeof(INPUT));
}

// The program's popped-up tray menu, if any.
HWND OpenMenuOf(DWORD processId) {
  for (HWND menu = FindWindowW(L"#32768", nullptr); menu;
       menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (owner == processId && IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

// Starts the program with these settings and shows its "Vantrel" page.
class HotkeyE2e : public ::testing::Test {
 protected:
  void Start(const std::string& settings) {
    folder.Write(L"Vantrel.ini", settings);
    program = e2e::Start(folder);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
    ClickLabel(window, kLabelVantrel);
  }

  HWND OpenCapture() {
    ClickLabel(window, kLabelKey);
    HWND capture = e2e::WaitForWindow(program.id(), L"Set Hotkey", kTimeoutMs);
    EXPECT_NE(capture, nullptr);
    return capture;
  }

  void TearDown() override {
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    program.WaitForExit(10000);
  }

  ProgramFolder folder;
  RunningProgram program;
  HWND window = nullptr;
};

TEST_F(HotkeyE2e, CaptureIgnoresCtrlAndTakesF9ShowsItSavesItAndRegistersIt) {
  Start("UseMenuHotkey = 1\r\n");
  ASSERT_TRUE(e2e::WaitForControlText(window, kLabelKey, L"Key", kTimeoutMs));
  HWND capture = OpenCapture();
  ASSERT_NE(capture, nullptr);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(window); }, kTimeoutMs));
  EXPECT_EQ(e2e::WindowTitle(e2e::FindControl(capture, kPrompt)),
            L"Press one Key for Hotkey | ESC for abort");
  RECT client{};
  GetClientRect(capture, &client);
  EXPECT_EQ(client.right, 250);
  EXPECT_EQ(client.bottom, 40);
  EXPECT_FALSE(GetWindowLongW(capture, GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongW(capture, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  PressKey(capture, VK_CONTROL);
  PressKey(capture, VK_LCONTROL);
  e2e::SaveScreenshot(L"hotkey-capture-open");
  EXPECT_TRUE(IsWindow(capture));  // Ctrl alone chose nothing
  PressKey(capture, VK_F9);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(capture); }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitForControlText(window, kLabelKey, L"F9", kTimeoutMs));
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        return folder.Read(L"Vantrel.ini").find("UseKeyHotkey = 120\r\n") != std::string::npos;
      },
      kTimeoutMs));
  e2e::SaveScreenshot(L"hotkey-f9-chosen");

  // The program now holds F9 alone, so nobody else can register it.
  EXPECT_FALSE(RegisterHotKey(nullptr, 0x4711, MOD_NOREPEAT, VK_F9));

  // Pressed anywhere, F9 opens the tray menu.
  TypeKey(VK_F9);
  HWND menu = nullptr;
  ASSERT_TRUE(
      e2e::WaitUntil([&] { return (menu = OpenMenuOf(program.id())) != nullptr; }, kTimeoutMs));
  e2e::SaveScreenshot(L"hotkey-opened-tray-menu");
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return OpenMenuOf(program.id()) == nullptr; }, kTimeoutMs));
}

TEST_F(HotkeyE2e, EscLeavesThePreviousKey) {
  Start("UseMenuHotkey = 1\r\nUseKeyHotkey = 120\r\n");
  ASSERT_TRUE(e2e::WaitForControlText(window, kLabelKey, L"F9", kTimeoutMs));
  HWND capture = OpenCapture();
  ASSERT_NE(capture, nullptr);
  PressKey(capture, VK_SHIFT);
  PressKey(capture, VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(capture); }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(window) != FALSE; }, kTimeoutMs));
  EXPECT_EQ(e2e::WindowTitle(e2e::FindControl(window, kLabelKey)), L"F9");
  EXPECT_NE(folder.Read(L"Vantrel.ini").find("UseKeyHotkey = 120\r\n"), std::string::npos);
}

// At 150 % the window grows with its font, so the prompt keeps one line
// and "ESC for abort" stays in view.
TEST_F(HotkeyE2e, AtOneHundredFiftyPercentTheCaptureWindowShowsItsWholePrompt) {
  e2e::ScreenDpi dpi(144);
  Start("UseMenuHotkey = 1\r\n");
  HWND capture = OpenCapture();
  ASSERT_NE(capture, nullptr);
  RECT client{};
  GetClientRect(capture, &client);
  EXPECT_EQ(client.right, 375);
  EXPECT_EQ(client.bottom, 60);
  RECT prompt{};
  GetWindowRect(e2e::FindControl(capture, kPrompt), &prompt);
  EXPECT_EQ(prompt.right - prompt.left, 375);
  EXPECT_EQ(prompt.bottom - prompt.top, 30);
  e2e::SaveScreenshot(L"hotkey-capture-150-percent");
  PressKey(capture, VK_ESCAPE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(capture); }, kTimeoutMs));
}

TEST_F(HotkeyE2e, HotkeyIsHeldWhileTheBoxIsTickedAndFreedWhenItIsCleared) {
  Start("UseMenuHotkey = 1\r\nUseStrgHotkey = 1\r\nUseKeyHotkey = 120\r\n");
  // Registered at start-up: Ctrl+F9 is taken, F9 alone is not.
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        if (!RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_NOREPEAT, VK_F9)) return true;
        UnregisterHotKey(nullptr, 1);
        return false;
      },
      kTimeoutMs));
  ASSERT_TRUE(RegisterHotKey(nullptr, 2, MOD_NOREPEAT, VK_F9));
  UnregisterHotKey(nullptr, 2);

  SendMessageW(e2e::FindControl(window, kBoxMenuHotkey), BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        if (!RegisterHotKey(nullptr, 3, MOD_CONTROL | MOD_NOREPEAT, VK_F9)) return false;
        UnregisterHotKey(nullptr, 3);
        return true;
      },
      kTimeoutMs));
  HWND keyLabel = e2e::FindControl(window, kLabelKey);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(keyLabel); }, kTimeoutMs));
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        return folder.Read(L"Vantrel.ini").find("UseMenuHotkey = 0\r\n") != std::string::npos;
      },
      kTimeoutMs));
}

}  // namespace
