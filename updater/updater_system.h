// What the updater needs from the machine beyond files and processes.
#pragma once

#include <string>

// Renames a file; fails when `to` exists: nothing is ever overwritten.
bool RenameWithoutReplacing(const std::wstring& from, const std::wstring& to);

// Runs the system's "tar -xf update.zip" hidden in `folder` and waits for
// it. True when tar could be started, whatever its exit code.
bool ExtractArchiveWithTar(const std::wstring& folder);

// Makes `folder` the current directory and starts the program file there,
// without parameters, visible, not waited for.
bool StartProgramIn(const std::wstring& folder, const std::wstring& programFile);
