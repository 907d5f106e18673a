#include "ui/theme.h"

#include <optional>

#include "ui/controls.h"
#include "winsettings/registry.h"

namespace {

constexpr wchar_t kPersonalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize\\";
constexpr wchar_t kLightThemeValue[] = L"AppsUseLightTheme";

constexpr ThemeColors kDarkLabels{Rgb(0x3F, 0x41, 0x46), Rgb(0x42, 0x48, 0x79),
                                  Rgb(0x62, 0x68, 0x99)};
constexpr ThemeColors kLightLabels{Rgb(0xE0, 0xE0, 0xE0), Rgb(0xCF, 0xD8, 0xEF),
                                   Rgb(0xAF, 0xBF, 0xEE)};

bool darkMode = false;
ThemeColors labelColors = kLightLabels;
bool leftButtonHeld = false;

// Everything a label's colour follows besides the label itself. Reading the
// cursor and the main window costs one call each; reading the labels'
// rectangles, classes and states costs several per label.
struct HoverInputs {
  HoverView view;
  bool buttonHeld = false;
  int selectedLabel = -1;
  unsigned enabledChanges = 0;
  bool operator==(const HoverInputs&) const = default;
};
// What the last look at the labels saw; none before the first one, and none
// again when the colours change.
std::optional<HoverInputs> lastHoverInputs;
unsigned labelEnabledChanges = 0;

bool SystemAppsUseDarkTheme() {
  if (ReadRegValueType(kHkeyCurrentUser, kPersonalizeKey, kLightThemeValue, 0, nullptr) !=
      kRegDword) {
    return false;
  }
  RegValue record;
  ReadRegValue(kHkeyCurrentUser, kPersonalizeKey, kLightThemeValue, 0, &record);
  return record.ERRORCODE == 0 && record.DWORDVALUE == 0;
}

}  // namespace

void DecideDarkMode(std::uint8_t darkModeSetting) {
  if (darkModeSetting == 0) {
    darkMode = SystemAppsUseDarkTheme();
  } else {
    darkMode = darkModeSetting == 1;
  }
  labelColors = darkMode ? kDarkLabels : kLightLabels;
  lastHoverInputs.reset();
}

bool DarkModeOn() { return darkMode; }
const ThemeColors& LabelColors() { return labelColors; }
Color WindowBackground() { return darkMode ? Rgb(0x33, 0x34, 0x39) : Rgb(0xEC, 0xEC, 0xEC); }

Color LabelBackground(const LabelSituation& situation, const ThemeColors& colors) {
  if (situation.underCursor && situation.enabled) {
    if (situation.buttonHeld || situation.selected) return colors.selected;
    return colors.hover;
  }
  return situation.selected ? colors.selected : colors.normal;
}

void NoteLeftButtonHeld(bool held) { leftButtonHeld = held; }
bool LeftButtonHeld() { return leftButtonHeld; }

void NoteLabelEnabledChanged() { ++labelEnabledChanges; }

void UpdateHoverColors() {
  const HoverInputs inputs{ReadHoverView(), leftButtonHeld, SelectedLabel(), labelEnabledChanges};
  if (lastHoverInputs == inputs) return;
  lastHoverInputs = inputs;
  for (int id = 0; id <= kLastLabelId; ++id) {
    LabelSituation situation;
    if (!ReadLabelSituation(id, situation)) continue;
    situation.buttonHeld = leftButtonHeld;
    const Color wanted = LabelBackground(situation, labelColors);
    if (LabelBackgroundOf(id) != wanted) SetLabelBackground(id, wanted);
  }
}
