#include <windows.h>

#include "base/run_program.h"
#include "base/win32_handles.h"
#include "updater/updater_system.h"

namespace {

// A zip of a few megabytes takes seconds; a tar that hangs must not keep the
// user without a program behind a window that cannot be closed.
constexpr unsigned kTarTimeoutMs = 120000;

UniqueHandle heldArchive;

}  // namespace

bool HoldArchive(const std::wstring& path) {
  // Sharing only reading refuses every later open for writing or deleting,
  // and a rename, for as long as this handle stays open.
  heldArchive.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(heldArchive);
}

void ReleaseArchive() { heldArchive.Reset(); }

bool ExtractArchiveWithTar(const std::wstring& folder) {
  const std::wstring tar = SystemProgramPath(L"tar.exe");
  return !tar.empty() &&
         RunProgram(tar, L"-xf update.zip",
                    {.hidden = true, .wait = true, .waitLimitMs = kTarTimeoutMs}, folder) == 0;
}

bool StartProgramIn(const std::wstring& folder, const std::wstring& programFile) {
  SetCurrentDirectoryW(folder.c_str());
  return RunProgram(folder + programFile, L"", {}, folder) != kProgramNotStarted;
}
