// The main window's controls: their states when the window is built and
// what a click or an arrow step changes, through the main loop's dispatch.
#include <gtest/gtest.h>

#include "app/main_loop.h"
#include "base/program_state.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_controls.h"
#include "tests/sim/sim_registry.h"
#include "tests/sim/sim_tray.h"
#include "app/control_actions.h"
#include "ui/controls.h"
#include "ui/hotkeys.h"
#include "winsettings/tweaks.h"

namespace {

constexpr wchar_t kHoloSi[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\HoloSI";
constexpr wchar_t kHolographic[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Holographic";
constexpr wchar_t kColorKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ProgramSettings() = Settings{};
    IdleMinutes() = kDefaultIdleMinutes;
    ProgramFolderTrusted() = true;
    sim::InstallService(L"OVRService", 1);
  }

  static void Build() {
    sim::AddMainWindowControls();
    SetInitialControlStates();
  }

  // One turn of the main loop takes the queued event and dispatches it.
  static void Turn() { RunLoopTurn(WaitForLoopEvent(50)); }
  static void Click(int id) {
    sim::ClickControl(id);
    Turn();
  }

  static Settings SavedSettings() { return ReadSettings(false, Settings{}).settings; }
  static std::uint32_t StoredDword(RegRoot root, const wchar_t* path, const wchar_t* name) {
    const auto value = sim::RegValueOf(root, path, name);
    if (!value || value->type != kRegDword || value->data.size() != 4) return 0xFFFFFFFF;
    std::uint32_t number = 0;
    value->data.copy(reinterpret_cast<char*>(&number), 4);
    return number;
  }
};

TEST_F(Controls, BuiltStatesFollowTheSettings) {
  ProgramSettings().StartHMDwithSteam = 1;
  ProgramSettings().CloseToTray = 1;
  ProgramSettings().AutoStartOculus = 1;
  Build();
  EXPECT_TRUE(sim::Control(kBoxStartWithSteam).checked);
  EXPECT_FALSE(sim::Control(kBoxStopWithSteam).checked);
  EXPECT_TRUE(sim::Control(kBoxCloseToTray).checked);
  EXPECT_TRUE(sim::Control(kBoxStartOculus).checked);
  EXPECT_TRUE(sim::Control(kBoxStartOculus).enabled);
  EXPECT_TRUE(sim::Control(kRadioDarkAuto).checked);
  EXPECT_TRUE(sim::Control(kLabelCheckForUpdate).enabled);
}

TEST_F(Controls, DarkModeSevenShowsOffSelected) {
  ProgramSettings().DarkMode = 7;
  Build();
  EXPECT_FALSE(sim::Control(kRadioDarkAuto).checked);
  EXPECT_FALSE(sim::Control(kRadioDarkOn).checked);
  EXPECT_TRUE(sim::Control(kRadioDarkOff).checked);
}

TEST_F(Controls, WithoutTheMenuHotkeyTheModifiersAndKeyAreGreyedOut) {
  ProgramSettings().UseStrgHotkey = 1;
  Build();
  EXPECT_FALSE(sim::Control(kBoxMenuHotkey).checked);
  for (int id : {kBoxHotkeyStrg, kBoxHotkeyAlt, kBoxHotkeyShift, kLabelHotkeyKey}) {
    EXPECT_FALSE(sim::Control(id).enabled) << id;
  }
  EXPECT_TRUE(sim::Control(kBoxHotkeyStrg).checked);
  Click(kBoxMenuHotkey);
  EXPECT_EQ(SavedSettings().UseMenuHotkey, 1);
  for (int id : {kBoxHotkeyStrg, kBoxHotkeyAlt, kBoxHotkeyShift, kLabelHotkeyKey}) {
    EXPECT_TRUE(sim::Control(id).enabled) << id;
  }
}

TEST_F(Controls, MissingOculusServiceDisablesItsBoxAndClearsTheSettingInMemory) {
  sim::Reset();
  ProgramSettings().AutoStartOculus = 1;
  Build();
  EXPECT_FALSE(sim::Control(kBoxStartOculus).enabled);
  EXPECT_FALSE(sim::Control(kBoxStartOculus).checked);
  EXPECT_EQ(ProgramSettings().AutoStartOculus, 0);
  EXPECT_FALSE(sim::HasFile(L"Vantrel.ini"));
}

TEST_F(Controls, UpdateLabelIsGreyedOutWhenTheStartupCheckRan) {
  ProgramSettings().CheckForUpdate = 1;
  Build();
  EXPECT_FALSE(sim::Control(kLabelCheckForUpdate).enabled);
  EXPECT_TRUE(sim::Control(kBoxCheckForUpdate).checked);
}

TEST_F(Controls, RegistryTweaksSetTheirBoxesAndFields) {
  sim::PutRegDword(kHkeyLocalMachine, kHoloSi, L"DisableShellUI", 1);
  sim::PutRegDword(kHkeyCurrentUser, kHolographic, L"IdleTimerDuration", 1800000);
  LoadIdleTimeout();
  ProgramSettings().ColorDistortionR = L"950";
  Build();
  EXPECT_FALSE(sim::Control(kBoxWmrHome).checked);
  EXPECT_TRUE(sim::Control(kBoxVirtualMonitors).checked);
  EXPECT_FALSE(sim::Control(kBoxControllerButtons).checked);
  EXPECT_EQ(sim::Control(kFieldIdleMinutes).text, L"3");
  EXPECT_EQ(sim::Control(kFieldRed).number, 950);
  EXPECT_EQ(sim::Control(kFieldRed).text, L"0.950");
  EXPECT_EQ(sim::Control(kFieldBlue).text, L"1.000");
  EXPECT_FALSE(sim::Control(kBoxColorCorrection).checked);
  for (int id : {kFieldRed, kFieldGreen, kFieldBlue}) EXPECT_FALSE(sim::Control(id).enabled);
}

TEST_F(Controls, EachSettingBoxSavesItsFlagAtOnce) {
  Build();
  struct Box {
    int id;
    std::uint8_t Settings::*flag;
  };
  const Box boxes[] = {
      {kBoxStartWithSteam, &Settings::StartHMDwithSteam},
      {kBoxStopWithSteam, &Settings::StopHMDwithSteam},
      {kBoxStartSteamVR, &Settings::AutoStartSteamVR},
      {kBoxStartOculus, &Settings::AutoStartOculus},
      {kBoxMinimizePortal, &Settings::MinimizeWMPortal},
      {kBoxBackgroundRecording, &Settings::DisWinBGRecording},
      {kBoxStartMinimized, &Settings::StartMinimized},
      {kBoxCloseToTray, &Settings::CloseToTray},
      {kBoxCheckForUpdate, &Settings::CheckForUpdate},
  };
  for (const Box& box : boxes) {
    Click(box.id);
    EXPECT_EQ(SavedSettings().*box.flag, 1) << box.id;
    Click(box.id);
    EXPECT_EQ(SavedSettings().*box.flag, 0) << box.id;
  }
}

TEST_F(Controls, RadioButtonsSaveTheDarkMode) {
  Build();
  Click(kRadioDarkOn);
  EXPECT_EQ(SavedSettings().DarkMode, 1);
  Click(kRadioDarkOff);
  EXPECT_EQ(SavedSettings().DarkMode, 2);
  Click(kRadioDarkAuto);
  EXPECT_EQ(SavedSettings().DarkMode, 0);
}

TEST_F(Controls, WmrHomeBoxWritesTheRegistryAndLeavesTheSettingsFileAlone) {
  Build();
  ASSERT_TRUE(sim::Control(kBoxWmrHome).checked);
  Click(kBoxWmrHome);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kHoloSi, L"DisableShellUI"), 1u);
  EXPECT_FALSE(sim::HasFile(L"Vantrel.ini"));
  Click(kBoxVirtualMonitors);
  EXPECT_EQ(StoredDword(kHkeyCurrentUser, kHolographic, L"PreallocateVirtualMonitors"), 1u);
}

TEST_F(Controls, IdleArrowWritesTheNewMinutesAndTakesTheFocusAway) {
  Build();
  sim::StepControl(kFieldIdleMinutes, +1);
  Turn();
  EXPECT_EQ(StoredDword(kHkeyCurrentUser, kHolographic, L"IdleTimerDuration"), 9600000u);
  EXPECT_EQ(sim::WindowControls().focusDrops, 1);
  // A click is not a step: nothing more is written.
  sim::StepControl(kFieldIdleMinutes, -1);
  sim::QueueEvent(LoopEvent{kControlEvent, kFieldIdleMinutes, kControlClicked});
  Turn();
  Turn();
  EXPECT_EQ(StoredDword(kHkeyCurrentUser, kHolographic, L"IdleTimerDuration"), 9000000u);
}

TEST_F(Controls, FactorArrowWritesShowsAndFlagsTheSettingsForSaving) {
  sim::PutRegDword(kHkeyLocalMachine, kColorKey, L"ColorDistortion", 1);
  ProgramSettings().ColorDistortionB = L"1100";
  Build();
  ASSERT_TRUE(sim::Control(kFieldBlue).enabled);
  sim::StepControl(kFieldRed, -1);
  Turn();
  EXPECT_EQ(sim::Control(kFieldRed).text, L"0.999");
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR"), 999u);
  EXPECT_EQ(ProgramSettings().ColorDistortionR, L"999");
  EXPECT_TRUE(Loop().colorChanged);
  // At the top of its range the arrow changes nothing but writes again.
  sim::StepControl(kFieldBlue, +1);
  Turn();
  EXPECT_EQ(sim::Control(kFieldBlue).text, L"1.100");
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionB"), 1100u);
}

// Factors from a hand-edited file or another program: the field can only
// show its range, and turning the correction on writes what it shows.
TEST_F(Controls, CorrectionWritesTheFactorsTheFieldsShow) {
  ProgramSettings().ColorDistortionR = L"1.05";
  ProgramSettings().ColorDistortionG = L"1200";
  ProgramSettings().ColorDistortionB = L" 1050 ";
  Build();
  EXPECT_EQ(sim::Control(kFieldRed).text, L"0.900");
  EXPECT_EQ(sim::Control(kFieldGreen).text, L"1.100");
  EXPECT_EQ(sim::Control(kFieldBlue).text, L"1.050");
  Click(kBoxColorCorrection);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR"), 900u);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionG"), 1100u);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionB"), 1050u);
  EXPECT_EQ(ProgramSettings().ColorDistortionR, L"900");  // and the next save writes that
}

TEST_F(Controls, UncheckingCorrectionGreysTheFieldsAndWritesOnlyTheFlag) {
  sim::PutRegDword(kHkeyLocalMachine, kColorKey, L"ColorDistortion", 1);
  Build();
  Click(kBoxColorCorrection);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortion"), 0u);
  EXPECT_FALSE(sim::RegValueOf(kHkeyLocalMachine, kColorKey, L"ColorDistortionR").has_value());
  for (int id : {kFieldRed, kFieldGreen, kFieldBlue}) EXPECT_FALSE(sim::Control(id).enabled);
  Click(kBoxColorCorrection);
  EXPECT_EQ(StoredDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionG"), 1000u);
  for (int id : {kFieldRed, kFieldGreen, kFieldBlue}) EXPECT_TRUE(sim::Control(id).enabled);
}

TEST_F(Controls, SidebarSelectsItsPageUnlessAlreadySelected) {
  Build();
  SelectPage(kLabelLogWindow, kPageLogWindow);
  Click(kLabelAdvanced);
  Click(kLabelAdvanced);
  Click(kLabelStartup);
  Click(kLabelVantrel);
  Click(kLabelLogWindow);
  const std::vector<std::pair<int, int>> expected = {{kLabelLogWindow, kPageLogWindow},
                                                     {kLabelAdvanced, kPageAdvanced},
                                                     {kLabelStartup, kPageStartup},
                                                     {kLabelVantrel, kPageVantrel},
                                                     {kLabelLogWindow, kPageLogWindow}};
  EXPECT_EQ(sim::WindowControls().selectedPages, expected);
}

TEST_F(Controls, OpenTrayMenuLabelPopsTheMenuUp) {
  Build();
  const int before = sim::Tray().menuOpens;
  Click(kLabelOpenTrayMenu);
  EXPECT_EQ(sim::Tray().menuOpens, before + 1);
}

TEST_F(Controls, StartWithWindowsShowsWhatTheSystemHoldsAfterTheToggle) {
  Build();
  ASSERT_FALSE(sim::Control(kBoxStartWithWindows).checked);
  Click(kBoxStartWithWindows);
  EXPECT_TRUE(sim::Control(kBoxStartWithWindows).checked);
  sim::DenyTaskChanges();
  // The delete is refused: the task stays, and so does the tick.
  Click(kBoxStartWithWindows);
  EXPECT_TRUE(sim::Control(kBoxStartWithWindows).checked);
}

TEST_F(Controls, ModifierBoxRegistersTheHotkeyAfreshAndSaves) {
  ProgramSettings().UseMenuHotkey = 1;
  ProgramSettings().UseKeyHotkey = 0x78;
  Build();
  const size_t attempts = sim::HotkeyAttempts().size();
  Click(kBoxHotkeyStrg);
  ASSERT_GT(sim::HotkeyAttempts().size(), attempts);
  ASSERT_NE(sim::RegisteredHotkey(), nullptr);
  EXPECT_NE(sim::RegisteredHotkey()->modifiers & kHotkeyControl, 0u);
  EXPECT_EQ(SavedSettings().UseStrgHotkey, 1);
  Click(kBoxMenuHotkey);
  EXPECT_EQ(sim::RegisteredHotkey(), nullptr);
  EXPECT_EQ(SavedSettings().UseMenuHotkey, 0);
}

TEST_F(Controls, ChosenKeyIsShownAsTextAndTooltipOfTheKeyLabel) {
  ProgramSettings().UseMenuHotkey = 1;
  sim::MapKey(0x78, 0x43);
  sim::NameKey(0x43 << 16, L"F9");
  BuildKeyNameTable();
  Build();
  sim::QueueCaptureKeys({0x78});
  Click(kLabelHotkeyKey);
  EXPECT_EQ(SavedSettings().UseKeyHotkey, 0x78);
  EXPECT_NE(sim::RegisteredHotkey(), nullptr);
  EXPECT_EQ(sim::Control(kLabelHotkeyKey).text, L"F9");
  EXPECT_EQ(sim::Control(kLabelHotkeyKey).toolTip, L"F9");
}

}  // namespace
