#include "app/control_actions.h"

#include <cstdint>

#include "app/main_loop.h"
#include "base/event_log.h"
#include "base/program_state.h"
#include "base/text.h"
#include "autostart/autostart.h"
#include "companions/services.h"
#include "ui/controls.h"
#include "ui/hotkeys.h"
#include "ui/tray.h"
#include "update/update_check.h"
#include "winsettings/tweaks.h"

namespace {

// The check boxes that each stand for one flag of the settings file.
struct SettingBox {
  int id;
  std::uint8_t Settings::*flag;
};
constexpr SettingBox kSettingBoxes[] = {
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

// The modifier boxes of the menu hotkey: each change registers it afresh.
constexpr SettingBox kHotkeyBoxes[] = {
    {kBoxHotkeyStrg, &Settings::UseStrgHotkey},
    {kBoxHotkeyAlt, &Settings::UseAltHotkey},
    {kBoxHotkeyShift, &Settings::UseShiftHotkey},
};

struct TweakBox {
  int id;
  Tweak tweak;
};
constexpr TweakBox kTweakBoxes[] = {
    {kBoxWmrHome, Tweak::kWmrHome},
    {kBoxVirtualMonitors, Tweak::kVirtualMonitors},
    {kBoxControllerButtons, Tweak::kControllerButtons},
};

struct SidebarEntry {
  int label;
  int page;
};
constexpr SidebarEntry kSidebar[] = {
    {kLabelStartup, kPageStartup},
    {kLabelAdvanced, kPageAdvanced},
    {kLabelVantrel, kPageVantrel},
    {kLabelLogWindow, kPageLogWindow},
};

struct FactorField {
  int id;
  ColorChannel channel;
};
constexpr FactorField kFactorFields[] = {
    {kFieldRed, ColorChannel::kRed},
    {kFieldGreen, ColorChannel::kGreen},
    {kFieldBlue, ColorChannel::kBlue},
};

constexpr int kDarkModeRadios[] = {kRadioDarkAuto, kRadioDarkOn, kRadioDarkOff};

void SetFactorFieldsEnabled(bool enabled) {
  for (const FactorField& field : kFactorFields) SetControlEnabled(field.id, enabled);
}

void SetHotkeyControlsEnabled(bool enabled) {
  for (int id : {kBoxHotkeyStrg, kBoxHotkeyAlt, kBoxHotkeyShift, kLabelHotkeyKey}) {
    SetControlEnabled(id, enabled);
  }
}

void ShowFactor(int id, int factor) {
  SetControlNumber(id, factor);
  SetControlText(id, ColorFactorText(factor));
}

void SetStartupPageStates() {
  Settings& settings = ProgramSettings();
  // Without the service there is nothing to start with the headset; the
  // cleared setting reaches the file with the next save.
  if (ServiceState(settings.OculusServiceName) == kServiceUnknown) {
    SetControlEnabled(kBoxStartOculus, false);
    SetSharedFlag(&Settings::AutoStartOculus, 0);
  }
  for (const SettingBox& box : kSettingBoxes) {
    SetControlChecked(box.id, settings.*box.flag == 1);
  }
  SetControlChecked(kBoxWmrHome, TweakChecked(Tweak::kWmrHome));
}

void SetAdvancedPageStates() {
  SetControlChecked(kBoxVirtualMonitors, TweakChecked(Tweak::kVirtualMonitors));
  SetControlChecked(kBoxControllerButtons, TweakChecked(Tweak::kControllerButtons));
  SetControlNumber(kFieldIdleMinutes, ShownIdleMinutes());
  for (const FactorField& field : kFactorFields) {
    ShowFactor(field.id, ShownColorFactor(field.channel));
  }
  const bool correction = TweakChecked(Tweak::kColorDistortion);
  SetControlChecked(kBoxColorCorrection, correction);
  if (!correction) SetFactorFieldsEnabled(false);
}

void ShowHotkeyKey() {
  SetControlText(kLabelHotkeyKey, HotkeyLabelText());
  SetControlToolTip(kLabelHotkeyKey, HotkeyLabelText());
}

void SetVantrelPageStates() {
  const Settings& settings = ProgramSettings();
  SetControlChecked(kBoxMenuHotkey, settings.UseMenuHotkey == 1);
  if (settings.UseMenuHotkey == 0) SetHotkeyControlsEnabled(false);
  for (const SettingBox& box : kHotkeyBoxes) SetControlChecked(box.id, settings.*box.flag == 1);
  if (settings.UseKeyHotkey > 0) ShowHotkeyKey();
  // Only 0 and 1 name a mode of their own; every other value means "Off".
  const int radio = settings.DarkMode <= 1 ? kDarkModeRadios[settings.DarkMode] : kRadioDarkOff;
  SetControlChecked(radio, true);
  // The start-up check has just run; the main loop enables the label again
  // a few seconds after it ended.
  if (settings.CheckForUpdate == 1) SetControlEnabled(kLabelCheckForUpdate, false);
  const bool taskExists = QueryAutostartTask() == 0;
  SetControlChecked(kBoxStartWithWindows, taskExists);
  // A task made before the folder became changeable (or by hand) keeps
  // starting the program elevated at each log-on until it is removed.
  if (taskExists && !ProgramFolderTrusted()) {
    AddLogLine(std::wstring(L"Start with Windows runs Vantrel from a folder others can change: ") +
                   kProtectedFolderAdvice,
               1);
  }
}

void SaveSettingBox(const SettingBox& box) {
  SetSharedFlag(box.flag, IsControlChecked(box.id) ? 1 : 0);
  SaveProgramSettings();
}

void SelectSidebarEntry(const SidebarEntry& entry) {
  if (SelectedLabel() != entry.label) SelectPage(entry.label, entry.page);
}

void ChangeIdleTimeout() {
  DropControlFocus();
  WriteIdleMinutes(static_cast<int>(LeadingInteger(ControlText(kFieldIdleMinutes))));
}

void ChangeColorCorrection() {
  const bool on = IsControlChecked(kBoxColorCorrection);
  WriteColorCorrection(on);
  SetFactorFieldsEnabled(on);
}

void ChangeFactor(const FactorField& field) {
  DropControlFocus();
  Loop().colorChanged = true;
  const int factor = ControlNumber(field.id);
  WriteColorFactor(field.channel, factor);
  SetControlText(field.id, ColorFactorText(factor));
}

void ChangeMenuHotkey() {
  const bool on = IsControlChecked(kBoxMenuHotkey);
  ProgramSettings().UseMenuHotkey = on ? 1 : 0;
  RegisterMenuHotkey();
  SaveProgramSettings();
  SetHotkeyControlsEnabled(on);
}

void ChangeHotkeyModifier(const SettingBox& box) {
  SetSharedFlag(box.flag, IsControlChecked(box.id) ? 1 : 0);
  RegisterMenuHotkey();
  SaveProgramSettings();
}

void ChooseHotkeyKey() {
  if (CaptureHotkeyKey() != 1) return;
  RegisterMenuHotkey();
  SaveProgramSettings();
  ShowHotkeyKey();
}

// The box shows what the system holds afterwards, whether or not the
// change worked.
void ToggleStartWithWindows() {
  ToggleAutostartTask();
  SetControlChecked(kBoxStartWithWindows, QueryAutostartTask() == 0);
}

void ChangeDarkMode(int radio) {
  for (int mode = 0; mode < 3; ++mode) {
    if (kDarkModeRadios[mode] != radio) continue;
    ProgramSettings().DarkMode = static_cast<std::uint8_t>(mode);
    SaveProgramSettings();
  }
}

void DispatchClick(int id) {
  for (const SettingBox& box : kSettingBoxes) {
    if (box.id == id) SaveSettingBox(box);
  }
  for (const SettingBox& box : kHotkeyBoxes) {
    if (box.id == id) ChangeHotkeyModifier(box);
  }
  for (const TweakBox& box : kTweakBoxes) {
    if (box.id == id) WriteTweak(box.tweak, IsControlChecked(id));
  }
  for (const SidebarEntry& entry : kSidebar) {
    if (entry.label == id) SelectSidebarEntry(entry);
  }
  switch (id) {
    case kLabelOpenTrayMenu:
      OpenTrayMenu();
      break;
    case kBoxColorCorrection:
      ChangeColorCorrection();
      break;
    case kBoxMenuHotkey:
      ChangeMenuHotkey();
      break;
    case kLabelHotkeyKey:
      ChooseHotkeyKey();
      break;
    case kBoxStartWithWindows:
      ToggleStartWithWindows();
      break;
    case kLabelCheckForUpdate:
      // The main loop enables it again a few seconds after the check.
      SetControlEnabled(kLabelCheckForUpdate, false);
      UpdateCheck(true);
      break;
    case kRadioDarkAuto:
    case kRadioDarkOn:
    case kRadioDarkOff:
      ChangeDarkMode(id);
      break;
    default:
      break;
  }
}

void DispatchStep(int id) {
  if (id == kFieldIdleMinutes) {
    ChangeIdleTimeout();
    return;
  }
  for (const FactorField& field : kFactorFields) {
    if (field.id == id) ChangeFactor(field);
  }
}

}  // namespace

void SetInitialControlStates() {
  SetStartupPageStates();
  SetAdvancedPageStates();
  SetVantrelPageStates();
}

void DispatchControlEvent(int id, int type) {
  if (type == kControlClicked) {
    DispatchClick(id);
  } else if (type == kControlStepped) {
    DispatchStep(id);
  }
}
