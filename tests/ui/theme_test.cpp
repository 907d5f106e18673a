// The light and dark look: the start-up decision and how the clickable
// labels follow the mouse.
#include <gtest/gtest.h>

#include "tests/sim/sim.h"
#include "tests/sim/sim_controls.h"
#include "tests/sim/sim_registry.h"
#include "ui/controls.h"
#include "ui/theme.h"

namespace {

constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

constexpr Color kDarkNormal = Rgb(0x3F, 0x41, 0x46);
constexpr Color kLightNormal = Rgb(0xE0, 0xE0, 0xE0);
constexpr Color kLightHover = Rgb(0xCF, 0xD8, 0xEF);
constexpr Color kLightSelected = Rgb(0xAF, 0xBF, 0xEE);

class DarkModeDecision : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  static bool DecidedDark(std::uint8_t setting) {
    DecideDarkMode(setting);
    return DarkModeOn();
  }
};

TEST_F(DarkModeDecision, AutomaticFollowsOnlyADwordAppsUseLightTheme) {
  EXPECT_FALSE(DecidedDark(0)) << "missing value";
  sim::PutRegDword(kHkeyCurrentUser, kPersonalize, L"AppsUseLightTheme", 0);
  EXPECT_TRUE(DecidedDark(0));
  sim::PutRegDword(kHkeyCurrentUser, kPersonalize, L"AppsUseLightTheme", 1);
  EXPECT_FALSE(DecidedDark(0));
  sim::PutRegString(kHkeyCurrentUser, kPersonalize, L"AppsUseLightTheme", L"0");
  EXPECT_FALSE(DecidedDark(0)) << "stored as text";
}

TEST_F(DarkModeDecision, OnIsDarkAndEveryOtherValueIsLightWhateverTheSystemSays) {
  sim::PutRegDword(kHkeyCurrentUser, kPersonalize, L"AppsUseLightTheme", 0);
  EXPECT_TRUE(DecidedDark(1));
  EXPECT_FALSE(DecidedDark(2));
  EXPECT_FALSE(DecidedDark(7));
  sim::PutRegDword(kHkeyCurrentUser, kPersonalize, L"AppsUseLightTheme", 1);
  EXPECT_TRUE(DecidedDark(1));
}

TEST_F(DarkModeDecision, ModeSetsTheLabelColoursAndTheWindowBackground) {
  DecideDarkMode(1);
  EXPECT_EQ(LabelColors().normal, kDarkNormal);
  EXPECT_EQ(LabelColors().hover, Rgb(0x42, 0x48, 0x79));
  EXPECT_EQ(LabelColors().selected, Rgb(0x62, 0x68, 0x99));
  // #333439 as a COLORREF.
  EXPECT_EQ(WindowBackground(), 0x393433u);
  DecideDarkMode(2);
  EXPECT_EQ(LabelColors().normal, kLightNormal);
  EXPECT_EQ(LabelColors().hover, kLightHover);
  EXPECT_EQ(LabelColors().selected, kLightSelected);
  EXPECT_EQ(WindowBackground(), Rgb(0xEC, 0xEC, 0xEC));
}

TEST(LabelBackground, FollowsCursorButtonSelectionAndEnabledState) {
  const ThemeColors colors{1, 2, 3};
  struct Case {
    LabelSituation situation;
    Color expected;
  };
  const Case cases[] = {
      {{false, true, false, false}, 1},  // away
      {{true, true, false, false}, 2},   // hovered
      {{true, true, true, false}, 3},    // pressed
      {{true, true, false, true}, 3},    // hovered but selected keeps its colour
      {{false, true, false, true}, 3},   // selected
      {{true, false, false, false}, 1},  // disabled under the mouse
      {{true, false, true, true}, 3},    // disabled and selected
      {{false, true, true, false}, 1},   // button held elsewhere
  };
  for (const Case& c : cases) {
    const LabelSituation& s = c.situation;
    EXPECT_EQ(LabelBackground(s, colors), c.expected)
        << s.underCursor << s.enabled << s.buttonHeld << s.selected;
  }
}

class HoverColors : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    DecideDarkMode(2);
    NoteLeftButtonHeld(false);
    sim::AddMainWindowControls();
    SelectPage(kLabelLogWindow, kPageLogWindow);
    UpdateHoverColors();
  }
  static int Repaints(int id) { return sim::Control(id).repaints; }
};

TEST_F(HoverColors, AStillMouseRepaintsNothing) {
  EXPECT_EQ(sim::Control(kLabelLogWindow).background, kLightSelected);
  const int before = Repaints(kLabelStartup) + Repaints(kLabelLogWindow);
  sim::PointAt(kLabelStartup);
  UpdateHoverColors();
  UpdateHoverColors();
  UpdateHoverColors();
  EXPECT_EQ(Repaints(kLabelStartup) + Repaints(kLabelLogWindow), before + 1);
  EXPECT_EQ(Repaints(kLabelAdvanced), 0);
}

TEST_F(HoverColors, HoverTurnsALabelAndLeavingTurnsItBack) {
  sim::PointAt(kLabelAdvanced);
  UpdateHoverColors();
  EXPECT_EQ(sim::Control(kLabelAdvanced).background, kLightHover);
  sim::PointAt(-1);
  UpdateHoverColors();
  EXPECT_EQ(sim::Control(kLabelAdvanced).background, kLightNormal);
  EXPECT_EQ(sim::Control(kLabelLogWindow).background, kLightSelected);
}

TEST_F(HoverColors, HeldButtonShowsTheSelectedColourUnderTheMouse) {
  sim::PointAt(kLabelOpenTrayMenu);
  NoteLeftButtonHeld(true);
  UpdateHoverColors();
  EXPECT_EQ(sim::Control(kLabelOpenTrayMenu).background, kLightSelected);
  NoteLeftButtonHeld(false);
  UpdateHoverColors();
  EXPECT_EQ(sim::Control(kLabelOpenTrayMenu).background, kLightHover);
}

TEST_F(HoverColors, DisabledUpdateLabelStaysNormalUnderTheMouse) {
  SetControlEnabled(kLabelCheckForUpdate, false);
  sim::PointAt(kLabelCheckForUpdate);
  UpdateHoverColors();
  EXPECT_EQ(sim::Control(kLabelCheckForUpdate).background, kLightNormal);
  EXPECT_EQ(Repaints(kLabelCheckForUpdate), 0);
}

}  // namespace
