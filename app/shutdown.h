// The ways the process ends once start-up has begun.
#pragma once

#include <string>

// Releases what the process holds (windows, the configuration manager
// library) and exits. Never returns.
[[noreturn]] void ReleaseAndExit(int exitCode);

// The one fatal error: a box titled "Vantrel - Error Quit" with the error
// icon, then the same release and exit.
[[noreturn]] void ShowFatalErrorAndExit(const std::wstring& message);
