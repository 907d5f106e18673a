// The program's own settings, kept in "Vantrel.ini" in the program folder.
#pragma once

#include <cstdint>
#include <string>

struct Settings {
  std::uint8_t DarkMode = 0;  // 0 automatic, 1 dark, anything else light
  std::uint8_t StartMinimized = 0;
  std::uint8_t CheckForUpdate = 0;
  std::uint8_t CloseToTray = 0;
  std::uint8_t StartHMDwithSteam = 0;
  std::uint8_t StopHMDwithSteam = 0;
  std::uint8_t AutoStartSteamVR = 0;
  std::uint8_t AutoStartOculus = 0;
  std::uint8_t UseMenuHotkey = 0;
  std::uint8_t MinimizeWMPortal = 0;
  std::uint8_t DisWinBGRecording = 0;
  std::uint8_t UseStrgHotkey = 0;
  std::uint8_t UseAltHotkey = 0;
  std::uint8_t UseShiftHotkey = 0;
  std::int64_t UseKeyHotkey = 0;  // index into the hotkey key-name table
  std::wstring ColorDistortionR = L"1000";
  std::wstring ColorDistortionG = L"1000";
  std::wstring ColorDistortionB = L"1000";
  std::wstring SkipUpdate;
  std::wstring WMRPortalProcessName = L"MixedRealityPortal.exe";
  std::wstring OculusServiceName = L"OVRService";
  std::wstring SteamVRProcessName = L"vrmonitor.exe";

  bool operator==(const Settings&) const = default;
};

inline constexpr wchar_t kSettingsFileName[] = L"Vantrel.ini";

// Builds settings from the bytes of a settings file; any bytes are accepted.
// The colour-distortion backup keys are taken from the file only when
// `readColorBackup` is set; otherwise `base`'s values stay.
Settings ParseSettings(const std::string& fileBytes, bool readColorBackup, const Settings& base);

// The whole file as it is written: UTF-8 with byte order mark, CR LF lines.
std::string RenderSettings(const Settings& settings, const std::wstring& productVersion);

// What reading "Vantrel.ini" gave: the settings, every default when the
// file is missing or cannot be read, and whether a file is there that could
// not be read (held open by another program for longer than a second, a
// read error, too large).
struct SettingsRead {
  Settings settings;
  bool unreadable = false;
};
SettingsRead ReadSettings(bool readColorBackup, const Settings& base);

// Rewrites "Vantrel.ini" whole; false when it could not be written, in which
// case the previous file is left as it was.
bool SaveSettings(const Settings& settings, const std::wstring& productVersion);
