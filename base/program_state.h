// Process-wide values that start-up sets and the rest of the program reads.
#pragma once

#include <cstdint>
#include <string>

#include "base/settings.h"

struct ProgramIdentity {
  std::wstring productVersion;
  std::wstring fileVersion;
  std::wstring programPath;  // the running program file, full path
};

// Only the main thread changes these.
Settings& ProgramSettings();
ProgramIdentity& Identity();

// A settings flag that the headset worker reads while a check box on the
// main thread may change it: the check boxes write every flag through
// SetSharedFlag and the worker reads through SharedFlag.
std::uint8_t SharedFlag(std::uint8_t Settings::*flag);
void SetSharedFlag(std::uint8_t Settings::*flag, std::uint8_t value);

// Whether the program may set itself up to run elevated later (the log-on
// task, an update): only administrators can change its folder, or an
// administrator's policy accepts the folder. False until start-up decides.
bool& ProgramFolderTrusted();

// The advice given wherever that is refused.
inline constexpr wchar_t kProtectedFolderAdvice[] =
    L"Move Vantrel to a folder only administrators can change, such as Program Files";

// Where the WMR driver's settings program was found; empty when it was not.
std::wstring& OpenVRSettingsPath();

// Writes the settings file from ProgramSettings; failures are silent.
void SaveProgramSettings();
