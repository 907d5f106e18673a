// Names that identify the program to the user, to a second copy of itself
// and to the updater.
#pragma once

#include <string>

inline constexpr wchar_t kProductName[] = L"Vantrel";
inline constexpr wchar_t kProgramFileName[] = L"Vantrel.exe";
inline constexpr wchar_t kAuthorCredit[] = L"by the Vantrel developers";

// The main window's title starts with this prefix because every product
// version begins with "V"; a second copy and the updater find the window by it.
inline constexpr wchar_t kMainWindowTitlePrefix[] = L"Vantrel - V";

std::wstring MainWindowTitle(const std::wstring& productVersion, const std::wstring& fileVersion);
