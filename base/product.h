// Names that identify the program to the user, to a second copy of itself
// and to the updater.
#pragma once

#include <string>

inline constexpr wchar_t kProductName[] = L"Vantrel";
inline constexpr wchar_t kProgramFileName[] = L"Vantrel.exe";
inline constexpr wchar_t kAuthorCredit[] = L"by the Vantrel developers";

// The main window's class. A second copy and the updater find the running
// program by this class and the image its process runs, never by the title:
// any program can give its window a title like the program's.
inline constexpr wchar_t kMainWindowClass[] = L"VantrelMainWindow";

std::wstring MainWindowTitle(const std::wstring& productVersion, const std::wstring& fileVersion);
