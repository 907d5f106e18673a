// What the updater needs from the machine beyond files and processes.
#pragma once

#include <string>

// Opens the archive so that others may read it but nobody can write,
// rename or delete it until ReleaseArchive; false when it cannot be opened.
bool HoldArchive(const std::wstring& path);
void ReleaseArchive();

// Runs the system folder's tar.exe with "-xf update.zip" hidden in `folder`
// and waits for it, at most two minutes, then ends it. True only when it
// ended by itself with exit code 0.
bool ExtractArchiveWithTar(const std::wstring& folder);

// Makes `folder` the current directory and starts the program file there,
// without parameters, visible, not waited for.
bool StartProgramIn(const std::wstring& folder, const std::wstring& programFile);
