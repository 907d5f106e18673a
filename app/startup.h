// Start-up steps that decide what happens in the program folder before any
// window exists.
#pragma once

#include <string>

#include "base/settings.h"

// The newest copy always wins: an older copy running as "Vantrel.exe" is
// asked to close, and ended by force if it is still there after 21 attempts.
void EnforceSingleInstance();

// Removes what a finished self-update leaves in the program folder.
void RemoveUpdateLeftovers();

// Reads "Vantrel.ini" and writes it straight back, so after every start the
// file holds every key in its canonical layout. `registryColors` holds the
// colour-distortion values read from the registry; when any is empty, all
// three come from the file. A file that is there but cannot be read is left
// as it is (one error line in the log) and the defaults are used.
Settings LoadAndRewriteSettings(const Settings& registryColors, const std::wstring& productVersion);
