#include "winsettings/tweaks.h"

#include <algorithm>
#include <cstdio>

#include "base/program_state.h"
#include "base/text.h"
#include "winsettings/registry_rules.h"

namespace {

constexpr wchar_t kHoloSiKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\HoloSI";
constexpr wchar_t kHolographicKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Holographic";
constexpr wchar_t kDwmKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm";
constexpr wchar_t kColorKey[] = L"SOFTWARE\\Microsoft\\Windows\\Dwm\\ExtendedComposition";
constexpr wchar_t kIdleValue[] = L"IdleTimerDuration";
// The idle timer is stored in units of 100 microseconds.
constexpr std::int64_t kIdleUnitsPerMinute = 600000;

struct TweakValue {
  RegRoot root;
  const wchar_t* path;
  const wchar_t* name;
  // The stored number that shows the box ticked; the other of 0 and 1 is
  // written when it is cleared.
  int checkedNumber;
};

TweakValue ValueOf(Tweak tweak) {
  switch (tweak) {
    case Tweak::kWmrHome:
      return {kHkeyLocalMachine, kHoloSiKey, L"DisableShellUI", 0};
    case Tweak::kVirtualMonitors:
      return {kHkeyCurrentUser, kHolographicKey, L"PreallocateVirtualMonitors", 0};
    case Tweak::kControllerButtons:
      return {kHkeyLocalMachine, kDwmKey, L"DisableBloomFor6dof", 1};
    case Tweak::kColorDistortion:
      break;
  }
  return {kHkeyLocalMachine, kColorKey, L"ColorDistortion", 1};
}

void WriteDword(RegRoot root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
  WriteRegValue(root, path, name, text, kRegDword, 0, nullptr);
}

const wchar_t* FactorName(ColorChannel channel) {
  switch (channel) {
    case ColorChannel::kRed:
      return L"ColorDistortionR";
    case ColorChannel::kGreen:
      return L"ColorDistortionG";
    case ColorChannel::kBlue:
      break;
  }
  return L"ColorDistortionB";
}

constexpr ColorChannel kChannels[] = {ColorChannel::kRed, ColorChannel::kGreen,
                                      ColorChannel::kBlue};

std::wstring& FactorText(Settings& settings, ColorChannel channel) {
  switch (channel) {
    case ColorChannel::kRed:
      return settings.ColorDistortionR;
    case ColorChannel::kGreen:
      return settings.ColorDistortionG;
    case ColorChannel::kBlue:
      break;
  }
  return settings.ColorDistortionB;
}

int idleMinutes = kDefaultIdleMinutes;

}  // namespace

std::int64_t ReadTweakNumber(RegRoot root, const std::wstring& path, const std::wstring& name) {
  return RegTextToInteger(TrimSpaces(ReadRegValue(root, path, name, 0, nullptr)));
}

bool TweakChecked(Tweak tweak) {
  const TweakValue value = ValueOf(tweak);
  return ReadTweakNumber(value.root, value.path, value.name) == value.checkedNumber;
}

void WriteTweak(Tweak tweak, bool checked) {
  const TweakValue value = ValueOf(tweak);
  const int number = checked ? value.checkedNumber : 1 - value.checkedNumber;
  WriteDword(value.root, value.path, value.name, std::to_wstring(number));
}

int& IdleMinutes() { return idleMinutes; }

void LoadIdleTimeout() {
  const std::int64_t units = ReadTweakNumber(kHkeyCurrentUser, kHolographicKey, kIdleValue);
  // A quad-word value can hold more minutes than an int; the field cannot
  // show more than its maximum anyway.
  if (units > 0) {
    idleMinutes = static_cast<int>(std::min<std::int64_t>(units / kIdleUnitsPerMinute, 1 << 30));
  }
}

int ShownIdleMinutes() {
  if (idleMinutes <= 0) return kDefaultIdleMinutes;
  return std::clamp(idleMinutes, kMinIdleMinutes, kMaxIdleMinutes);
}

void WriteIdleMinutes(int minutes) {
  WriteDword(kHkeyCurrentUser, kHolographicKey, kIdleValue,
             std::to_wstring(static_cast<std::int64_t>(minutes) * kIdleUnitsPerMinute));
}

Settings ReadRegistryColorFactors() {
  Settings factors;
  for (ColorChannel channel : kChannels) {
    FactorText(factors, channel) =
        ReadRegValue(kHkeyLocalMachine, kColorKey, FactorName(channel), 0, nullptr);
  }
  return factors;
}

int ShownColorFactor(ColorChannel channel) {
  std::wstring& text = FactorText(ProgramSettings(), channel);
  const int factor = static_cast<int>(std::clamp<std::int64_t>(RegTextToInteger(TrimSpaces(text)),
                                                               kMinColorFactor, kMaxColorFactor));
  text = std::to_wstring(factor);
  return factor;
}

std::wstring ColorFactorText(int factor) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%.3f", static_cast<double>(static_cast<float>(factor) / 1000.0f));
  return text;
}

void WriteColorCorrection(bool on) {
  WriteTweak(Tweak::kColorDistortion, on);
  if (!on) return;
  for (ColorChannel channel : kChannels) {
    WriteDword(kHkeyLocalMachine, kColorKey, FactorName(channel),
               FactorText(ProgramSettings(), channel));
  }
}

void WriteColorFactor(ColorChannel channel, int factor) {
  std::wstring& text = FactorText(ProgramSettings(), channel);
  text = std::to_wstring(factor);
  WriteDword(kHkeyLocalMachine, kColorKey, FactorName(channel), text);
}
