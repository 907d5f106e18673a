#include <windows.h>

#include "base/run_program.h"
#include "updater/updater_system.h"

bool RenameWithoutReplacing(const std::wstring& from, const std::wstring& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
  return MoveFileExW(from.c_str(), to.c_str(), 0) != 0;
}

bool ExtractArchiveWithTar(const std::wstring& folder) {
  return RunProgram(L"tar", L"-xf update.zip", {.hidden = true, .wait = true}, folder) !=
         kProgramNotStarted;
}

bool StartProgramIn(const std::wstring& folder, const std::wstring& programFile) {
  SetCurrentDirectoryW(folder.c_str());
  return RunProgram(folder + programFile, L"", {}, folder) != kProgramNotStarted;
}
