// Ending the process once start-up has begun. Every room ends it the same
// way; the program's top hands in, at start-up, what must be released first
// (windows, the tray icon, the configuration manager library).
#pragma once

void SetReleaseBeforeExit(void (*release)());

// Runs the release handed in (if any) and exits. Never returns.
[[noreturn]] void ReleaseAndExit(int exitCode);
