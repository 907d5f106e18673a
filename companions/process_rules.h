// The matching rules behind process and window search, shared by the
// Windows binding and the simulated machine.
#pragma once

#include <string>

// The snapshot entry's name is cut to its file-name part; the wanted name is
// compared whole, so a full path never matches.
bool ExecutableNameMatches(const std::wstring& entryExeFile, const std::wstring& wantedName);

bool TitleContainsPart(const std::wstring& title, const std::wstring& part);
