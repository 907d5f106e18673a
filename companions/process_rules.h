// The matching rules behind process and window search, shared by the
// Windows binding and the simulated machine.
#pragma once

#include <string>

// The snapshot entry's name is cut to its file-name part; the wanted name is
// compared whole, so a full path never matches.
bool ExecutableNameMatches(const std::wstring& entryExeFile, const std::wstring& wantedName);

// Whether a process's full image path is `wanted`: a bare file name takes
// that program from any folder, a path only that file. Both compare without
// regard to ASCII case and take "/" for "\\", as Windows does.
bool ImageIs(const std::wstring& imagePath, const std::wstring& wanted);
