// The ways the program ends once start-up has begun.
#pragma once

#include <string>

// Releases what the program holds (windows, the tray icon, the configuration
// manager library); handed to SetReleaseBeforeExit at start-up.
void ReleaseProgram();

// The one fatal error: a box titled "Vantrel - Error Quit" with the error
// icon, then the same release and exit.
[[noreturn]] void ShowFatalErrorAndExit(const std::wstring& message);
