// The Windows and WMR registry values that the settings window edits. The
// registry, not the settings file, holds the truth for them: the controls
// are set from it once when the window is built and every change is written
// back at once. Write failures are not reported.
#pragma once

#include <cstdint>
#include <string>

#include "base/settings.h"
#include "winsettings/registry.h"

// The on/off tweaks, each a check box.
enum class Tweak {
  kWmrHome,            // "DisableShellUI": checked while WMR Home starts
  kVirtualMonitors,    // "PreallocateVirtualMonitors": checked while pre-allocation is off
  kControllerButtons,  // "DisableBloomFor6dof": checked while the buttons are off
  kColorDistortion,    // "ColorDistortion": checked while the correction is on
};

// Whether the check box of `tweak` shows ticked, from the registry now. A
// missing or unreadable value reads as 0.
bool TweakChecked(Tweak tweak);
// Writes the value that stands for the box's new state.
void WriteTweak(Tweak tweak, bool checked);

// A tweak value as the program reads it: the text trimmed of blanks and
// converted with the registry's number rules; missing or unreadable is 0.
std::int64_t ReadTweakNumber(RegRoot root, const std::wstring& path, const std::wstring& name);

// Headset idle timeout in whole minutes; 15 until the registry says more.
inline constexpr int kDefaultIdleMinutes = 15;
inline constexpr int kMinIdleMinutes = 1;
inline constexpr int kMaxIdleMinutes = 300;
int& IdleMinutes();
// Reads "IdleTimerDuration" into IdleMinutes when it holds a positive
// number; a value below one minute leaves 0 there (the field then keeps its
// default).
void LoadIdleTimeout();
// The minutes the idle-timeout field starts with.
int ShownIdleMinutes();
void WriteIdleMinutes(int minutes);

// Colour-distortion factors: thousandths, 900 to 1100, kept as decimal text
// in the settings (the file mirrors the registry).
enum class ColorChannel { kRed, kGreen, kBlue };
inline constexpr int kMinColorFactor = 900;
inline constexpr int kMaxColorFactor = 1100;
// The three factors as the registry holds them, in a settings record's
// colour fields for the settings file to fill in (an empty one means all
// three come from the file).
Settings ReadRegistryColorFactors();
// The number the factor's field shows: the setting's text kept inside the
// field's range. The setting takes that number back as its text, so what
// the correction writes is what the field shows.
int ShownColorFactor(ColorChannel channel);
// 1000 shows as "1.000", 950 as "0.950".
std::wstring ColorFactorText(int factor);
// Turns the correction on or off. On also writes the three factors from
// the settings; off leaves them in the registry.
void WriteColorCorrection(bool on);
// A factor changed by its arrows: the setting's text and the registry value.
void WriteColorFactor(ColorChannel channel, int factor);
