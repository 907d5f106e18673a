// The hotkey module against the real keyboard layout, hotkey table and
// windows: key names, registration on the main window, the capture window
// driven by keys posted from a second thread, and how the main window and
// the capture window answer keys and a change of the screen's scale.
#include "ui/hotkeys.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/program_state.h"
#include "ui/main_window.h"
#include "ui/controls.h"
#include "ui/controls_win32.h"
#include "ui/main_window_win32.h"

namespace {

constexpr ULONGLONG kDeadlineMs = 20000;

class HotkeysOnWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(CreateMainWindow(L"Vantrel - V hotkey test"));
    BuildKeyNameTable();
  }

  void SetUp() override {
    ProgramSettings() = Settings{};
    RegisterMenuHotkey();  // nothing held from the test before
  }

  // Whether another owner could take the combination now.
  static bool Free(UINT modifiers, UINT key) {
    if (!RegisterHotKey(nullptr, 0x77, modifiers, key)) return false;
    UnregisterHotKey(nullptr, 0x77);
    return true;
  }
};

TEST_F(HotkeysOnWine, KeyNamesComeFromTheLayoutWithFixedAndExcludedCodes) {
  EXPECT_EQ(KeyName(19), L"Pause");
  EXPECT_EQ(KeyName(12), L"Clear");
  const std::vector<std::pair<int, int>> excluded = {
      {7, 7},     {10, 11},   {14, 15},   {22, 22},   {26, 26},   {58, 64},  {94, 94},
      {136, 143}, {151, 159}, {166, 185}, {193, 218}, {224, 224}, {232, 232}};
  for (const auto& [first, last] : excluded) {
    for (int code = first; code <= last; ++code) EXPECT_EQ(KeyName(code), L"") << code;
  }
  EXPECT_EQ(KeyName(256), L"");
  EXPECT_EQ(KeyName('A'), L"A");
  EXPECT_EQ(KeyName(VK_F9), L"F9");
  EXPECT_FALSE(KeyName(VK_SPACE).empty());
  // The extended flag tells the block keys from the numeric pad's.
  EXPECT_FALSE(KeyName(VK_PRIOR).empty());
  EXPECT_NE(KeyName(VK_PRIOR), KeyName(VK_NUMPAD9));
  EXPECT_NE(KeyName(VK_DELETE), KeyName(VK_DECIMAL));
}

TEST_F(HotkeysOnWine, RegistersOnTheMainWindowAndReplacesItOnEveryChange) {
  ASSERT_TRUE(Free(MOD_NOREPEAT, VK_F9));
  ProgramSettings().UseMenuHotkey = 1;
  ProgramSettings().UseKeyHotkey = VK_F9;
  RegisterMenuHotkey();
  EXPECT_FALSE(Free(MOD_NOREPEAT, VK_F9));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));

  ProgramSettings().UseStrgHotkey = 1;
  ProgramSettings().UseShiftHotkey = 1;
  RegisterMenuHotkey();
  EXPECT_TRUE(Free(MOD_NOREPEAT, VK_F9));
  EXPECT_FALSE(Free(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, VK_F9));

  ProgramSettings().UseMenuHotkey = 0;
  RegisterMenuHotkey();
  EXPECT_TRUE(Free(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, VK_F9));
}

TEST_F(HotkeysOnWine, HotkeyPressReachesTheMainWindow) {
  ProgramSettings().UseMenuHotkey = 1;
  ProgramSettings().UseKeyHotkey = VK_F8;
  RegisterMenuHotkey();
  INPUT presses[2] = {};
  for (INPUT& input : presses) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_F8;
  }
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, presses, sizeof(INPUT)), 2u);
  MSG message{};
  bool arrived = false;
  const ULONGLONG end = GetTickCount64() + kDeadlineMs;
  while (!arrived && GetTickCount64() < end) {
    // Taken out of the queue before the window sees it: the main window
    // would open the tray menu.
    arrived = PeekMessageW(&message, MainWindowHandle(), WM_HOTKEY, WM_HOTKEY, PM_REMOVE);
    if (!arrived) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  ASSERT_TRUE(arrived);
  EXPECT_EQ(message.wParam, 1u);
  EXPECT_EQ(HIWORD(message.lParam), VK_F8);
  ProgramSettings().UseMenuHotkey = 0;
  RegisterMenuHotkey();
}

// The capture window, looked for from a second thread while the test's
// thread runs the capture.
HWND WaitForCaptureWindow() {
  const ULONGLONG end = GetTickCount64() + kDeadlineMs;
  for (;;) {
    // Shown once it is complete and the main window is disabled.
    HWND capture = FindWindowW(L"VantrelHotkeyCapture", L"Set Hotkey");
    if (capture && IsWindowVisible(capture)) return capture;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(10);
  }
}

TEST_F(HotkeysOnWine, CaptureWaitsPastModifierKeysAndTakesTheFirstRealKey) {
  ProgramSettings().UseKeyHotkey = 'A';
  std::atomic<bool> mainDisabled{false};
  std::wstring prompt;
  SIZE client{};
  std::thread poster([&] {
    HWND capture = WaitForCaptureWindow();
    if (!capture) return;
    mainDisabled = !IsWindowEnabled(MainWindowHandle());
    RECT rect{};
    GetClientRect(capture, &rect);
    client = SIZE{rect.right, rect.bottom};
    wchar_t text[64] = {};
    GetWindowTextW(GetDlgItem(capture, 48), text, 64);
    prompt = text;
    for (WPARAM key : {VK_CONTROL, VK_SHIFT, VK_TAB, VK_RETURN, VK_LMENU, VK_F9}) {
      PostMessageW(capture, WM_KEYDOWN, key, 1);
    }
  });
  const int result = CaptureHotkeyKey();
  poster.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ProgramSettings().UseKeyHotkey, VK_F9);
  EXPECT_TRUE(mainDisabled);
  EXPECT_EQ(client.cx, 250);
  EXPECT_EQ(client.cy, 40);
  EXPECT_EQ(prompt, L"Press one Key for Hotkey | ESC for abort");
  EXPECT_TRUE(IsWindowEnabled(MainWindowHandle()));
  EXPECT_EQ(FindWindowW(L"VantrelHotkeyCapture", nullptr), nullptr);
}

TEST_F(HotkeysOnWine, EscapeAbortsAndKeepsThePreviousKey) {
  ProgramSettings().UseKeyHotkey = 'A';
  std::thread poster([] {
    HWND capture = WaitForCaptureWindow();
    PostMessageW(capture, WM_KEYDOWN, VK_CONTROL, 1);
    PostMessageW(capture, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(capture, WM_KEYDOWN, VK_F9, 1);
  });
  EXPECT_EQ(CaptureHotkeyKey(), 0);
  poster.join();
  EXPECT_EQ(ProgramSettings().UseKeyHotkey, 'A');
  EXPECT_TRUE(IsWindowEnabled(MainWindowHandle()));
}

// Keys typed into the main window belong to its controls; none of them
// may cost the tray icon a removal and a forced status poll.
TEST_F(HotkeysOnWine, KeyPressInTheMainWindowMakesNoEvent) {
  LoopEvent event;
  while (TakeWindowEvent(event)) {
  }
  SendMessageW(MainWindowHandle(), WM_KEYDOWN, 'A', 1);
  SendMessageW(MainWindowHandle(), WM_KEYDOWN, VK_F9, 1);
  EXPECT_FALSE(TakeWindowEvent(event)) << event.number;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// A control's place inside its parent's client area.
RECT PlaceOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

LONG FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

void ChangeDpi(UINT dpi) {
  RECT suggested{40, 30, 41, 31};
  SendMessageW(MainWindowHandle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
}

// Moved to a screen at 150 %: the main window lays itself out again, and
// the capture window opens at the same scale with its whole prompt.
TEST_F(HotkeysOnWine, AtADpiChangeTheMainWindowAndTheCaptureWindowScale) {
  HWND window = MainWindowHandle();
  ASSERT_EQ(ClientSize(window).cx, 600);
  const LONG fontBefore = FontHeight(ControlWindow(kBoxStopWithSteam));
  ChangeDpi(144);
  EXPECT_EQ(ClientSize(window).cx, 900);
  EXPECT_EQ(ClientSize(window).cy, 540);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 30);
  const RECT box = PlaceOf(ControlWindow(kBoxStopWithSteam));
  EXPECT_EQ(box.left, 300);
  EXPECT_EQ(box.top, 15);
  EXPECT_EQ(box.right - box.left, 345);
  EXPECT_NEAR(FontHeight(ControlWindow(kBoxStopWithSteam)), fontBefore * 3 / 2, 1);
  const RECT page = PlaceOf(ControlWindow(kPageAdvanced));
  EXPECT_EQ(page.right - page.left, 660);
  // A number field's arrows sit inside its scaled width.
  const RECT field = PlaceOf(ControlWindow(kFieldRed));
  const RECT arrows = PlaceOf(GetDlgItem(ControlWindow(kPageAdvanced), kFieldRed + kSpinIdOffset));
  EXPECT_EQ(field.left, MulDiv(65, 144, 96));
  EXPECT_NEAR(arrows.right, MulDiv(65, 144, 96) + 90, 2);  // over the field's border
  EXPECT_EQ(PlaceOf(ControlWindow(kLogViewId)).right, MulDiv(1, 144, 96) + 657);

  SIZE capture{};
  RECT prompt{};
  std::thread poster([&] {
    HWND window = WaitForCaptureWindow();
    if (!window) return;
    capture = ClientSize(window);
    prompt = PlaceOf(GetDlgItem(window, 48));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(CaptureHotkeyKey(), 0);
  poster.join();
  EXPECT_EQ(capture.cx, 375);
  EXPECT_EQ(capture.cy, 60);
  EXPECT_EQ(prompt.right - prompt.left, 375);
  ChangeDpi(96);
  EXPECT_EQ(ClientSize(window).cx, 600);
}

}  // namespace
