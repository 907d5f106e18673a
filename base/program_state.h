// Process-wide values that start-up sets and the rest of the program reads.
#pragma once

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

// Where the WMR driver's settings program was found; empty when it was not.
std::wstring& OpenVRSettingsPath();

// Writes the settings file from ProgramSettings; failures are silent.
void SaveProgramSettings();
