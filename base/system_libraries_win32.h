// Where the elevated programs take their libraries from. Windows builds only.
//
// The standard search looks in the program's folder and the current folder
// before system32, so a DLL planted there under a system library's name
// would run elevated. Only system32 is searched instead.
#pragma once

#include <windows.h>

#include "base/win32_handles.h"

// Makes system32 the only folder searched by every later load that names no
// search flags, such as the delay-load helper's LoadLibraryA. Called first
// thing in wWinMain: no static initialiser loads a library. False when the
// search could not be narrowed; the program then ends rather than run with
// the program folder searched first.
inline bool SearchSystemLibrariesOnly() {
  return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

// A system library by file name, from system32 whatever the default search.
inline UniqueModule LoadSystemLibrary(const wchar_t* fileName) {
  return UniqueModule(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}
