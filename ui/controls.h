// The main window's controls by number. The event dispatch picks handlers by
// these numbers and the theme walks them in order, so they are fixed: the
// clickable labels are 0 to 9 and the pages with their controls run without
// a gap from 10 to 47.
#pragma once

#include <string>

enum ControlId : int {
  kLabelStartup = 0,
  kLabelAdvanced = 1,
  kLabelVantrel = 2,
  kLabelLogWindow = 3,
  kLabelCheckForUpdate = 4,
  kLabelHotkeyKey = 5,
  kLabelOpenTrayMenu = 6,
  kLastLabelId = 9,

  kPageStartup = 10,
  kBoxStartWithSteam = 11,
  kBoxStopWithSteam = 12,
  kBoxStartSteamVR = 13,
  kBoxStartOculus = 14,
  kBoxMinimizePortal = 15,
  kBoxBackgroundRecording = 16,
  kTextBackgroundRecording = 17,
  kBoxWmrHome = 18,
  kTextWmrHome = 19,

  kPageVantrel = 20,
  kBoxStartWithWindows = 21,
  kBoxStartMinimized = 22,
  kBoxCloseToTray = 23,
  kTextDarkMode = 24,
  kRadioDarkAuto = 25,
  kRadioDarkOn = 26,
  kRadioDarkOff = 27,
  kBoxMenuHotkey = 28,
  kBoxHotkeyStrg = 29,
  kBoxHotkeyAlt = 30,
  kBoxHotkeyShift = 31,
  kBoxCheckForUpdate = 32,

  kPageLogWindow = 33,
  kLogViewId = 34,

  kPageAdvanced = 35,
  kBoxVirtualMonitors = 36,
  kTextVirtualMonitors = 37,
  kBoxControllerButtons = 38,
  kFieldIdleMinutes = 39,
  kTextIdleMinutes = 40,
  kBoxColorCorrection = 41,
  kFieldRed = 42,
  kTextRed = 43,
  kFieldGreen = 44,
  kTextGreen = 45,
  kFieldBlue = 46,
  kTextBlue = 47,
};

// The kind of a control event: a click (buttons, check boxes, clickable
// labels) or one step of a number field's arrows.
enum ControlEventType : int {
  kControlClicked = 0,
  kControlStepped = 1,
};

// The controls as the dispatch sees them. A control that does not exist
// reads as unchecked, empty and 0, and ignores changes.
bool IsControlChecked(int id);
void SetControlChecked(int id, bool checked);
void SetControlEnabled(int id, bool enabled);
std::wstring ControlText(int id);
void SetControlText(int id, const std::wstring& text);
// The number a number field's arrows hold; setting it leaves the text to
// the field (the idle minutes) or to the caller (the colour factors).
int ControlNumber(int id);
void SetControlNumber(int id, int number);
// Replaces the text of the control's tooltip.
void SetControlToolTip(int id, const std::wstring& text);
// Takes the keyboard focus away from every control of the window.
void DropControlFocus();

// Shows `page` in place of the visible one and highlights `label`.
void SelectPage(int label, int page);
// The sidebar label of the visible page.
int SelectedLabel();
