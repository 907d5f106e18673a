#include "updater/updater.h"

#include "base/clock.h"
#include "base/files.h"
#include "base/product.h"
#include "companions/processes.h"
#include "update/file_digest.h"
#include "updater/updater_system.h"

namespace {

constexpr unsigned kProgramEndsItselfMs = 2000;
constexpr int kCloseAttempts = 21;
constexpr unsigned kCloseRetryMs = 250;
constexpr unsigned kAfterSwapMs = 1000;
// The program treats a WM_CLOSE with this wParam as a quit without asking.
constexpr std::uintptr_t kQuitNowParam = 111;

constexpr wchar_t kReadMeName[] = L"ReadMe.txt";
constexpr wchar_t kOldSuffix[] = L".old";

bool FileExists(const std::wstring& path) { return FileSizeOf(path) >= 0; }

void CloseMainProgram() {
  SleepMs(kProgramEndsItselfMs);
  for (int attempt = 0; attempt < kCloseAttempts; ++attempt) {
    if (FindProcessId(kProgramFileName) == 0) return;
    if (WindowHandle window = FindWindowByTitlePart(kMainWindowTitlePrefix)) {
      PostCloseMessage(window, kQuitNowParam);
    }
    SleepMs(kCloseRetryMs);
  }
  if (ProcessId id = FindProcessId(kProgramFileName)) {
    TerminateProcessById(id);
    SleepMs(kCloseRetryMs);
  }
}

// The old file steps aside as NAME.old, then the new one moves in. When the
// old file cannot step aside (an older NAME.old is in the way), both stay.
void ExchangeFile(const std::wstring& programFolder, const std::wstring& name) {
  const std::wstring current = programFolder + name;
  if (RenameWithoutReplacing(current, current + kOldSuffix) || !FileExists(current)) {
    RenameWithoutReplacing(WorkFolderOf(programFolder) + L"\\" + name, current);
  }
}

}  // namespace

std::wstring WorkFolderOf(const std::wstring& programFolder) {
  return programFolder + L"vtrel_tmp";
}

bool UpdateMayProceed(const std::vector<std::wstring>& parameters,
                      const std::wstring& programFolder) {
  if (parameters.size() != 2 || parameters[0] != kUpdateParameter) return false;
  const std::wstring archive = WorkFolderOf(programFolder) + L"\\" + kArchiveName;
  return FileExists(archive) && FileSha3_224(archive) == parameters[1];
}

void RunUpdateWorker(const std::wstring& programFolder, bool mayProceed) {
  CloseMainProgram();
  if (!mayProceed) return;
  if (ExtractArchiveWithTar(WorkFolderOf(programFolder))) {
    ExchangeFile(programFolder, kReadMeName);
    ExchangeFile(programFolder, kProgramFileName);
  }
  SleepMs(kAfterSwapMs);
}

std::wstring ProgressText(int dots) {
  return std::wstring(L"Updating ") + kProductName + std::wstring(static_cast<size_t>(dots), L'.');
}

int NextProgressDots(int dots) { return dots == 3 ? 0 : dots + 1; }
