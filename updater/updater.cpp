#include "updater/updater.h"

#include "base/clock.h"
#include "base/files.h"
#include "base/product.h"
#include "companions/program_closing.h"
#include "update/file_digest.h"
#include "updater/updater_system.h"

namespace {

constexpr unsigned kProgramEndsItselfMs = 2000;
constexpr unsigned kAfterSwapMs = 1000;
// The program treats a WM_CLOSE with this wParam as a quit without asking.
constexpr std::uintptr_t kQuitNowParam = 111;

constexpr wchar_t kReadMeName[] = L"ReadMe.txt";
constexpr wchar_t kOldSuffix[] = L".old";

bool FileExists(const std::wstring& path) { return FileSizeOf(path) >= 0; }

// What tar left is a Windows program, not an empty or cut-off file: it
// begins with the executable's "MZ" signature.
bool IsProgramFile(const std::wstring& path) {
  std::string bytes;
  return ReadWholeFile(path, bytes) && bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

// Only the program of this folder is the one to replace; a copy stored
// elsewhere keeps running.
void CloseMainProgram(const std::wstring& programFolder) {
  SleepMs(kProgramEndsItselfMs);
  CloseRunningProgram(kMainWindowClass, programFolder + kProgramFileName, kQuitNowParam);
}

// The old file steps aside as NAME.old only for a new one that is there,
// then the new one moves in; if it cannot, the old one moves back. When the
// old file cannot step aside (an older NAME.old is in the way), both stay.
void ExchangeFile(const std::wstring& programFolder, const std::wstring& name) {
  const std::wstring current = programFolder + name;
  const std::wstring incoming = WorkFolderOf(programFolder) + L"\\" + name;
  const std::wstring old = current + kOldSuffix;
  if (!FileExists(incoming)) return;
  if (!FileExists(current)) {
    RenameWithoutReplacing(incoming, current);
    return;
  }
  if (!RenameWithoutReplacing(current, old)) return;
  if (!RenameWithoutReplacing(incoming, current)) RenameWithoutReplacing(old, current);
}

}  // namespace

std::wstring WorkFolderOf(const std::wstring& programFolder) {
  return programFolder + L"vtrel_tmp";
}

bool UpdateMayProceed(const std::vector<std::wstring>& parameters,
                      const std::wstring& programFolder) {
  if (parameters.size() != 2 || parameters[0] != kUpdateParameter) return false;
  const std::wstring archive = WorkFolderOf(programFolder) + L"\\" + kArchiveName;
  // Held from before its digest is taken until tar has read it, so the
  // bytes tar extracts are the bytes that were checked.
  return HoldArchive(archive) && FileHasDigest(archive, parameters[1]);
}

void RunUpdateWorker(const std::wstring& programFolder, bool mayProceed) {
  CloseMainProgram(programFolder);
  const std::wstring workFolder = WorkFolderOf(programFolder);
  const bool extracted = mayProceed && ExtractArchiveWithTar(workFolder);
  ReleaseArchive();
  if (!mayProceed) return;
  // Nothing is exchanged unless the archive brought a program: the folder
  // is never left without one to start.
  if (extracted && IsProgramFile(workFolder + L"\\" + kProgramFileName)) {
    ExchangeFile(programFolder, kReadMeName);
    ExchangeFile(programFolder, kProgramFileName);
  }
  SleepMs(kAfterSwapMs);
}

std::wstring ProgressText(int dots) {
  return std::wstring(L"Updating ") + kProductName + std::wstring(static_cast<size_t>(dots), L'.');
}

int NextProgressDots(int dots) { return dots == 3 ? 0 : dots + 1; }
