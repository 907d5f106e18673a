// The main window's pages as a user meets them: each page in the light and
// the dark look (saved as screenshots), the window at 150 % DPI, and each
// control writing the setting or the registry value its row names.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/e2e/harness.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;

constexpr DWORD kTimeoutMs = 20000;

constexpr wchar_t kHoloSi[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\HoloSI";
constexpr wchar_t kHolographic[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Holographic";
constexpr wchar_t kDwm[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm";
constexpr wchar_t kColorKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";

struct RegName {
  HKEY root;
  const wchar_t* key;
  const wchar_t* name;
};
const RegName kTweakValues[] = {
    {HKEY_LOCAL_MACHINE, kHoloSi, L"DisableShellUI"},
    {HKEY_CURRENT_USER, kHolographic, L"PreallocateVirtualMonitors"},
    {HKEY_CURRENT_USER, kHolographic, L"IdleTimerDuration"},
    {HKEY_LOCAL_MACHINE, kDwm, L"DisableBloomFor6dof"},
    {HKEY_LOCAL_MACHINE, kColorKey, L"ColorDistortion"},
    {HKEY_LOCAL_MACHINE, kColorKey, L"ColorDistortionR"},
    {HKEY_LOCAL_MACHINE, kColorKey, L"ColorDistortionG"},
    {HKEY_LOCAL_MACHINE, kColorKey, L"ColorDistortionB"},
};

// -1 when the value is missing or not a DWORD.
long long StoredDword(const RegName& value) {
  DWORD number = 0;
  DWORD size = sizeof(number);
  if (RegGetValueW(value.root, value.key, value.name, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
      ERROR_SUCCESS) {
    return -1;
  }
  return number;
}

bool WaitForDword(const RegName& value, long long expected) {
  return e2e::WaitUntil([&] { return StoredDword(value) == expected; }, kTimeoutMs);
}

void ClickLabel(HWND window, int id) {
  HWND label = e2e::FindControl(window, id);
  ASSERT_NE(label, nullptr) << "control " << id;
  PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void ClickBox(HWND window, int id) {
  HWND box = e2e::FindControl(window, id);
  ASSERT_NE(box, nullptr) << "control " << id;
  SendMessageW(box, BM_CLICK, 0, 0);
}

bool IsChecked(HWND window, int id) {
  return SendMessageW(e2e::FindControl(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// One press of the up (+1) or down (-1) arrow of number field `id`.
void StepField(HWND window, int id, int direction) {
  HWND spin = e2e::FindControl(window, id + 1000);
  ASSERT_NE(spin, nullptr) << "arrows of " << id;
  RECT area{};
  GetClientRect(spin, &area);
  const int y = direction > 0 ? area.bottom / 4 : area.bottom * 3 / 4;
  PostMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(area.right / 2, y));
  PostMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(area.right / 2, y));
}

struct ToolTipSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchVisibleToolTip(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ToolTipSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  if (owner != search->processId || lstrcmpiW(className, TOOLTIPS_CLASSW) != 0 ||
      !IsWindowVisible(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND VisibleToolTip(DWORD processId) {
  ToolTipSearch search{processId, nullptr};
  EnumWindows(MatchVisibleToolTip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

POINT CentreOf(HWND control) {
  RECT area{};
  GetWindowRect(control, &area);
  return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

COLORREF ScreenColorAt(POINT point) {
  HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return color;
}

class PagesE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const RegName& value : kTweakValues) RegDeleteKeyValueW(value.root, value.key, value.name);
  }

  void TearDown() override {
    if (window) PostMessageW(window, WM_CLOSE, 111, 0);
    program.WaitForExit(10000);
    for (const RegName& value : kTweakValues) RegDeleteKeyValueW(value.root, value.key, value.name);
  }

  void Start(const std::string& settings) {
    folder.Write(L"Vantrel.ini", settings);
    program = e2e::Start(folder);
    window = e2e::WaitForWindow(program.id(), L"Vantrel - V", kTimeoutMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeoutMs));
    // A click that lands while the window is still being activated loses
    // the button's mouse capture, and with it the click.
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == window; }, kTimeoutMs));
  }

  void ShowPage(int label, int page) {
    ClickLabel(window, label);
    HWND shown = e2e::FindControl(window, page);
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(shown) != FALSE; }, kTimeoutMs));
  }

  bool SettingsHold(const std::string& line) const {
    return e2e::WaitUntil(
        [&] { return folder.Read(L"Vantrel.ini").find(line + "\r\n") != std::string::npos; },
        kTimeoutMs);
  }

  void ShootAllPages(const std::wstring& look) {
    // The window opens on the log page.
    HWND logPage = e2e::FindControl(window, 33);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(logPage) != FALSE; }, kTimeoutMs));
    e2e::SaveScreenshot(L"pages-" + look + L"-log");
    ShowPage(0, 10);
    e2e::SaveScreenshot(L"pages-" + look + L"-startup");
    ShowPage(1, 35);
    e2e::SaveScreenshot(L"pages-" + look + L"-advanced");
    ShowPage(2, 20);
    e2e::SaveScreenshot(L"pages-" + look + L"-vantrel");
  }

  ProgramFolder folder;
  RunningProgram program;
  HWND window = nullptr;
};

TEST_F(PagesE2e, LightPages) {
  Start("DarkMode = 2\r\n");
  ShootAllPages(L"light");
  EXPECT_TRUE(IsChecked(window, 27));
}

TEST_F(PagesE2e, DarkPages) {
  const DWORD on = 1;
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, kColorKey, L"ColorDistortion", REG_DWORD, &on, sizeof(on));
  Start("DarkMode = 1\r\nUseMenuHotkey = 1\r\n");
  ShootAllPages(L"dark");
  EXPECT_TRUE(IsChecked(window, 26));
}

TEST_F(PagesE2e, SettingBoxesAndOptionsAreSavedAtOnce) {
  // With the menu hotkey on, its modifier boxes can be clicked.
  Start("DarkMode = 2\r\nUseMenuHotkey = 1\r\n");
  const std::pair<int, const char*> boxes[] = {
      {11, "StartHMDwithSteam"}, {12, "StopHMDwithSteam"},  {13, "AutoStartSteamVR"},
      {15, "MinimizeWMPortal"},  {16, "DisWinBGRecording"}, {22, "StartMinimized"},
      {23, "CloseToTray"},       {32, "CheckForUpdate"},    {29, "UseStrgHotkey"},
      {30, "UseAltHotkey"},      {31, "UseShiftHotkey"},
  };
  for (const auto& [id, key] : boxes) {
    ClickBox(window, id);
    EXPECT_TRUE(SettingsHold(std::string(key) + " = 1")) << key;
    ClickBox(window, id);
    EXPECT_TRUE(SettingsHold(std::string(key) + " = 0")) << key;
  }
  ClickBox(window, 28);
  EXPECT_TRUE(SettingsHold("UseMenuHotkey = 0"));
  HWND strg = e2e::FindControl(window, 29);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(strg); }, kTimeoutMs));
  ClickBox(window, 26);
  EXPECT_TRUE(SettingsHold("DarkMode = 1"));
  EXPECT_FALSE(IsChecked(window, 27));
  ClickBox(window, 25);
  EXPECT_TRUE(SettingsHold("DarkMode = 0"));
}

TEST_F(PagesE2e, WithoutTheOculusServiceItsBoxIsGreyedOut) {
  Start("AutoStartOculus = 1\r\n");
  EXPECT_FALSE(IsWindowEnabled(e2e::FindControl(window, 14)));
  EXPECT_FALSE(IsChecked(window, 14));
}

TEST_F(PagesE2e, TweakBoxesWriteTheirRegistryValues) {
  Start("DarkMode = 2\r\n");
  // Missing values show the first two ticked; a click writes "1".
  ASSERT_TRUE(IsChecked(window, 18));
  ClickBox(window, 18);
  EXPECT_TRUE(WaitForDword(kTweakValues[0], 1));
  ClickBox(window, 18);
  EXPECT_TRUE(WaitForDword(kTweakValues[0], 0));
  ASSERT_TRUE(IsChecked(window, 36));
  ClickBox(window, 36);
  EXPECT_TRUE(WaitForDword(kTweakValues[1], 1));
  ASSERT_FALSE(IsChecked(window, 38));
  ClickBox(window, 38);
  EXPECT_TRUE(WaitForDword(kTweakValues[3], 1));
  EXPECT_EQ(folder.Read(L"Vantrel.ini").find("DisableShellUI"), std::string::npos);
}

TEST_F(PagesE2e, IdleArrowWritesTheMinutes) {
  Start("DarkMode = 2\r\n");
  ShowPage(1, 35);
  ASSERT_TRUE(e2e::WaitForControlText(window, 39, L"15", kTimeoutMs));
  StepField(window, 39, +1);
  EXPECT_TRUE(e2e::WaitForControlText(window, 39, L"16", kTimeoutMs));
  EXPECT_TRUE(WaitForDword(kTweakValues[2], 16 * 600000));
}

TEST_F(PagesE2e, ColorCorrectionWritesFactorsAndTheirArrowsSaveThem) {
  Start("DarkMode = 2\r\nColorDistortionR = 950\r\n");
  ShowPage(1, 35);
  HWND red = e2e::FindControl(window, 42);
  ASSERT_TRUE(e2e::WaitForControlText(window, 42, L"0.950", kTimeoutMs));
  EXPECT_FALSE(IsWindowEnabled(red));
  ClickBox(window, 41);
  EXPECT_TRUE(WaitForDword(kTweakValues[4], 1));
  EXPECT_TRUE(WaitForDword(kTweakValues[5], 950));
  EXPECT_TRUE(WaitForDword(kTweakValues[7], 1000));
  EXPECT_TRUE(IsWindowEnabled(red));
  StepField(window, 42, -1);
  EXPECT_TRUE(e2e::WaitForControlText(window, 42, L"0.949", kTimeoutMs));
  EXPECT_TRUE(WaitForDword(kTweakValues[5], 949));
  // The next status poll saves the settings file.
  EXPECT_TRUE(SettingsHold("ColorDistortionR = 949"));
  ClickBox(window, 41);
  EXPECT_TRUE(WaitForDword(kTweakValues[4], 0));
  EXPECT_FALSE(IsWindowEnabled(red));
  EXPECT_EQ(StoredDword(kTweakValues[5]), 949);
}

TEST_F(PagesE2e, ToolTipsShowUnderTheMouseAndBreakLinesAtCarriageReturns) {
  Start("DarkMode = 2\r\n");
  ShowPage(1, 35);
  auto heightOfTipFor = [&](int id) -> int {
    SetCursorPos(0, 0);
    if (!e2e::WaitUntil([&] { return VisibleToolTip(program.id()) == nullptr; }, kTimeoutMs)) {
      return -1;
    }
    const POINT centre = CentreOf(e2e::FindControl(window, id));
    SetCursorPos(centre.x, centre.y);
    HWND tip = nullptr;
    if (!e2e::WaitUntil([&] { return (tip = VisibleToolTip(program.id())) != nullptr; },
                        kTimeoutMs)) {
      return -1;
    }
    RECT area{};
    GetWindowRect(tip, &area);
    return area.bottom - area.top;
  };
  const int oneLine = heightOfTipFor(38);
  const int twoLines = heightOfTipFor(41);
  ASSERT_GT(oneLine, 0);
  EXPECT_GT(twoLines, oneLine * 3 / 2);
  e2e::SaveScreenshot(L"pages-tooltip-two-lines");
  SetCursorPos(0, 0);
}

TEST_F(PagesE2e, SidebarLabelTakesTheHoverColourUnderTheMouse) {
  constexpr COLORREF kNormal = RGB(0xE0, 0xE0, 0xE0);
  constexpr COLORREF kHover = RGB(0xCF, 0xD8, 0xEF);
  SetCursorPos(0, 0);
  Start("DarkMode = 2\r\n");
  HWND label = e2e::FindControl(window, 1);
  RECT area{};
  GetWindowRect(label, &area);
  const POINT edge{area.left + 3, area.top + 3};
  ASSERT_TRUE(e2e::WaitUntil([&] { return ScreenColorAt(edge) == kNormal; }, kTimeoutMs));
  const POINT centre = CentreOf(label);
  SetCursorPos(centre.x, centre.y);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColorAt(edge) == kHover; }, kTimeoutMs));
  SetCursorPos(0, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColorAt(edge) == kNormal; }, kTimeoutMs));
}

TEST_F(PagesE2e, AtOneHundredFiftyPercentTheLayoutScales) {
  e2e::ScreenDpi dpi(144);
  Start("DarkMode = 2\r\n");
  ShowPage(0, 10);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 900);
  EXPECT_EQ(client.bottom, 540);
  RECT page{};
  GetWindowRect(e2e::FindControl(window, 10), &page);
  EXPECT_EQ(page.right - page.left, 660);
  EXPECT_EQ(page.bottom - page.top, 510);
  e2e::SaveScreenshot(L"pages-150-percent-startup");
}

}  // namespace
