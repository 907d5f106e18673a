// Puts the recording schtasks.exe stand-in where the program runs
// schtasks from: the prefix's system folder.
#pragma once

#include <windows.h>

#include <string>

#include "base/run_program.h"

namespace autostart_test {

// Wine keeps running its own builtin for a file of the system folder
// unless told to prefer the file itself. Once installed, the stand-in stays
// in the prefix and records the queries of every program started there
// later, in other tests too: a record left from those is removed, so a test
// reads only the calls of its own program.
inline bool InstallSchtasksStandIn(const std::wstring& standIn) {
  for (const wchar_t* record :
       {L"schtasks-calls.txt", L"schtasks-tasks.txt", L"schtasks-deny.txt", L"schtasks-hang.txt"}) {
    DeleteFileW(SystemProgramPath(record).c_str());
  }
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"schtasks.exe", REG_SZ,
                  L"native", sizeof(L"native"));
  return CopyFileW(standIn.c_str(), SystemProgramPath(L"schtasks.exe").c_str(), FALSE) != 0;
}

}  // namespace autostart_test
