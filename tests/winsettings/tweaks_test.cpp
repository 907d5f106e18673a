// The registry tweaks against the simulated registry: what each check box
// and number field shows for what Windows may hold, and what a change
// writes.
#include <gtest/gtest.h>

#include "base/program_state.h"
#include "app/startup.h"
#include "base/text.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_registry.h"
#include "winsettings/tweaks.h"

namespace {

constexpr wchar_t kHoloSi[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\HoloSI";
constexpr wchar_t kHolographic[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Holographic";
constexpr wchar_t kDwm[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm";
constexpr wchar_t kColorKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";

class Tweaks : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ProgramSettings() = Settings{};
    IdleMinutes() = kDefaultIdleMinutes;
  }

  // A written tweak: stored as a DWORD holding `number`.
  static void ExpectDword(RegRoot root, const wchar_t* path, const wchar_t* name,
                          std::uint32_t number) {
    const auto value = sim::RegValueOf(root, path, name);
    ASSERT_TRUE(value.has_value()) << "nothing written to " << ToUtf8(name);
    EXPECT_EQ(value->type, kRegDword);
    EXPECT_EQ(value->data, std::string(reinterpret_cast<const char*>(&number), 4));
  }
};

TEST_F(Tweaks, MissingShellAndPreallocationValuesShowCheckedAndAClickWritesOne) {
  EXPECT_TRUE(TweakChecked(Tweak::kWmrHome));
  EXPECT_TRUE(TweakChecked(Tweak::kVirtualMonitors));
  WriteTweak(Tweak::kWmrHome, false);
  WriteTweak(Tweak::kVirtualMonitors, false);
  ExpectDword(kHkeyLocalMachine, kHoloSi, L"DisableShellUI", 1);
  ExpectDword(kHkeyCurrentUser, kHolographic, L"PreallocateVirtualMonitors", 1);
  EXPECT_FALSE(TweakChecked(Tweak::kWmrHome));
  WriteTweak(Tweak::kWmrHome, true);
  ExpectDword(kHkeyLocalMachine, kHoloSi, L"DisableShellUI", 0);
}

TEST_F(Tweaks, ControllerButtonsShowCheckedOnlyForOneWhateverItIsStoredAs) {
  EXPECT_FALSE(TweakChecked(Tweak::kControllerButtons));
  sim::PutRegDword(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", 1);
  EXPECT_TRUE(TweakChecked(Tweak::kControllerButtons));
  // Blanks around a number stored as text are trimmed; "$" reads hex.
  sim::PutRegString(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", L"  1 ");
  EXPECT_TRUE(TweakChecked(Tweak::kControllerButtons));
  sim::PutRegString(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", L"$1");
  EXPECT_TRUE(TweakChecked(Tweak::kControllerButtons));
  sim::PutRegDword(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", 2);
  EXPECT_FALSE(TweakChecked(Tweak::kControllerButtons));
  WriteTweak(Tweak::kControllerButtons, true);
  ExpectDword(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", 1);
}

TEST_F(Tweaks, IdleTimeoutIsReadInWholeMinutesAndShortOrMissingValuesLeaveFifteen) {
  struct Case {
    const char* what;
    std::int64_t stored;  // -1: no value
    int shown;
  };
  const Case cases[] = {{"15 minutes", 9000000, 15},    {"one minute", 600000, 1},
                        {"below a minute", 599999, 15}, {"missing", -1, 15},
                        {"truncated", 1199999, 1},      {"beyond the field", 600000000, 300}};
  for (const Case& c : cases) {
    sim::Reset();
    IdleMinutes() = kDefaultIdleMinutes;
    if (c.stored >= 0) {
      sim::PutRegDword(kHkeyCurrentUser, kHolographic, L"IdleTimerDuration",
                       static_cast<std::uint32_t>(c.stored));
    }
    LoadIdleTimeout();
    EXPECT_EQ(ShownIdleMinutes(), c.shown) << c.what;
  }
}

TEST_F(Tweaks, SixteenMinutesAreWrittenAsSixteenTimesSixHundredThousand) {
  WriteIdleMinutes(16);
  ExpectDword(kHkeyCurrentUser, kHolographic, L"IdleTimerDuration", 9600000);
}

TEST_F(Tweaks, OneMissingRegistryFactorTakesAllThreeFromTheSettingsFile) {
  sim::PutRegDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR", 1010);
  sim::PutRegDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionG", 1020);
  sim::PutFile(L"Vantrel.ini",
               "ColorDistortionR = 950\r\nColorDistortionG = 960\r\nColorDistortionB = 970\r\n");
  const Settings registry = ReadRegistryColorFactors();
  EXPECT_EQ(registry.ColorDistortionR, L"1010");
  EXPECT_TRUE(registry.ColorDistortionB.empty());
  const Settings settings = LoadAndRewriteSettings(registry, L"V1");
  EXPECT_EQ(settings.ColorDistortionR, L"950");
  EXPECT_EQ(settings.ColorDistortionG, L"960");
  EXPECT_EQ(settings.ColorDistortionB, L"970");
}

TEST_F(Tweaks, AllThreeRegistryFactorsWinOverTheSettingsFile) {
  for (const wchar_t* name : {L"ColorDistortionR", L"ColorDistortionG", L"ColorDistortionB"}) {
    sim::PutRegDword(kHkeyLocalMachine, kColorKey, name, 1050);
  }
  sim::PutFile(L"Vantrel.ini", "ColorDistortionB = 970\r\n");
  const Settings settings = LoadAndRewriteSettings(ReadRegistryColorFactors(), L"V1");
  EXPECT_EQ(settings.ColorDistortionB, L"1050");
}

TEST_F(Tweaks, FactorsShowAsThousandthsWithThreeDecimals) {
  EXPECT_EQ(ColorFactorText(1100), L"1.100");
  EXPECT_EQ(ColorFactorText(900), L"0.900");
  EXPECT_EQ(ColorFactorText(1000), L"1.000");
  EXPECT_EQ(ColorFactorText(951), L"0.951");
}

TEST_F(Tweaks, CorrectionOnWritesTheFlagAndTheThreeFactorsFromTheSettings) {
  ProgramSettings().ColorDistortionR = L"950";
  ProgramSettings().ColorDistortionG = L"1000";
  ProgramSettings().ColorDistortionB = L"1100";
  WriteColorCorrection(true);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortion", 1);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR", 950);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionG", 1000);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionB", 1100);
  EXPECT_TRUE(TweakChecked(Tweak::kColorDistortion));
}

TEST_F(Tweaks, CorrectionOffWritesOnlyTheFlagAndLeavesTheFactors) {
  sim::PutRegDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR", 1010);
  ProgramSettings().ColorDistortionR = L"950";
  WriteColorCorrection(false);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortion", 0);
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionR", 1010);
  EXPECT_FALSE(sim::RegValueOf(kHkeyLocalMachine, kColorKey, L"ColorDistortionG").has_value());
}

TEST_F(Tweaks, AChangedFactorGoesToTheSettingAndTheRegistry) {
  WriteColorFactor(ColorChannel::kGreen, 999);
  EXPECT_EQ(ProgramSettings().ColorDistortionG, L"999");
  ExpectDword(kHkeyLocalMachine, kColorKey, L"ColorDistortionG", 999);
  EXPECT_EQ(ProgramSettings().ColorDistortionR, L"1000");
}

TEST_F(Tweaks, FailedWritesAreSilentAndUnreadableValuesReadAsZero) {
  sim::PutRegDword(kHkeyLocalMachine, kDwm, L"DisableBloomFor6dof", 1);
  sim::FailRegistryCalls(5);
  EXPECT_FALSE(TweakChecked(Tweak::kControllerButtons));
  EXPECT_TRUE(TweakChecked(Tweak::kWmrHome));
  WriteTweak(Tweak::kWmrHome, false);
  EXPECT_TRUE(ReadRegistryColorFactors().ColorDistortionR.empty());
  sim::FailRegistryCalls(0);
  EXPECT_FALSE(sim::RegValueOf(kHkeyLocalMachine, kHoloSi, L"DisableShellUI").has_value());
}

}  // namespace
