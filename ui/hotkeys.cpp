#include "ui/hotkeys.h"

#include <algorithm>
#include <array>

#include "base/program_state.h"

namespace {

constexpr int kTableSize = 257;  // codes 0 to 256; 256 never has a name
constexpr int kEscape = 27;

std::array<std::wstring, kTableSize> keyNames;

// Unassigned and reserved codes, browser, volume and media keys, and the
// gamepad range.
bool HasNoName(int code) {
  constexpr std::pair<int, int> kRanges[] = {
      {7, 7},     {10, 11},   {14, 15},   {22, 22},   {26, 26},   {58, 64},   {94, 94},
      {136, 143}, {151, 159}, {166, 185}, {193, 218}, {224, 224}, {232, 232}, {256, 256}};
  return std::any_of(std::begin(kRanges), std::end(kRanges), [&](const auto& range) {
    return code >= range.first && code <= range.second;
  });
}

// Keys whose scan code is shared with a key of the numeric pad or the left
// half of the keyboard; the extended flag selects the one meant.
bool IsExtendedKey(int code) {
  return code == 3 || (code >= 33 && code <= 40) || code == 45 || code == 46 ||
         (code >= 91 && code <= 93) || code == 144 || code == 163 || code == 165;
}

std::wstring LookUpKeyName(int code) {
  // Pause shares its scan code with Num Lock and Clear with the numeric
  // pad's 5: a lookup would give those keys' names.
  if (code == 19) return L"Pause";
  if (code == 12) return L"Clear";
  const unsigned scan = KeyScanCode(code) & 0xFF;
  if (scan == 0) return std::wstring();
  const std::int32_t extended = IsExtendedKey(code) ? 1 : 0;
  return KeyNameText(static_cast<std::int32_t>(scan << 16) | extended << 24);
}

// Keys that only modify others or that Windows keeps for itself; the
// capture window waits on for a real key.
bool IsIgnoredCaptureKey(int code) {
  constexpr int kIgnored[] = {8,   9,  13, 16, 160, 161, 17, 162, 163, 18, 164,
                              165, 19, 20, 46, 47,  91,  92, 93,  144, 145};
  return std::find(std::begin(kIgnored), std::end(kIgnored), code) != std::end(kIgnored);
}

unsigned HotkeyModifiers(const Settings& settings) {
  unsigned modifiers = kHotkeyNoRepeat;
  if (settings.UseStrgHotkey == 1) modifiers |= kHotkeyControl;
  if (settings.UseAltHotkey == 1) modifiers |= kHotkeyAlt;
  if (settings.UseShiftHotkey == 1) modifiers |= kHotkeyShift;
  return modifiers;
}

// The key the user chose, or 0 when the capture was aborted.
int WaitForChosenKey() {
  for (;;) {
    const int key = NextCaptureKey();
    if (key < 0 || key == kEscape) return 0;
    // A virtual-key code is 1 to 254; anything else is not a key press.
    if (key == 0 || key > 255 || IsIgnoredCaptureKey(key)) continue;
    return key;
  }
}

}  // namespace

void RegisterMenuHotkey() {
  UnregisterMainWindowHotkey();
  const Settings& settings = ProgramSettings();
  if (settings.UseMenuHotkey != 1 || settings.UseKeyHotkey <= 0) return;
  RegisterMainWindowHotkey(HotkeyModifiers(settings), static_cast<int>(settings.UseKeyHotkey));
}

void BuildKeyNameTable() {
  BeginKeyNameLookup();
  for (int code = 0; code < kTableSize; ++code) {
    keyNames[code] = HasNoName(code) ? std::wstring() : LookUpKeyName(code);
  }
  EndKeyNameLookup();
}

int CaptureHotkeyKey() {
  if (!OpenCaptureWindow()) return 0;
  const int key = WaitForChosenKey();
  CloseCaptureWindow();
  if (key == 0) return 0;
  ProgramSettings().UseKeyHotkey = key;
  return 1;
}

const std::wstring& KeyName(std::int64_t code) {
  static const std::wstring kNone;
  return code >= 0 && code < kTableSize ? keyNames[static_cast<size_t>(code)] : kNone;
}

std::wstring HotkeyLabelText() {
  const std::int64_t key = ProgramSettings().UseKeyHotkey;
  return key > 0 ? KeyName(key) : L"Key";
}
