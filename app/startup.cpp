#include "app/startup.h"

#include "base/clock.h"
#include "base/files.h"
#include "app/instance.h"
#include "base/product.h"
#include "companions/processes.h"
#include "companions/program_closing.h"
#include "base/event_log.h"

namespace {

constexpr const wchar_t* kLeftoverFiles[] = {L"Vantrel.exe.old", L"ReadMe.txt.old",
                                             L"vtrel.updater.exe"};
constexpr wchar_t kUpdateWorkFolder[] = L"vtrel_tmp";

ProcessId OtherInstance() { return FindOtherProcessId(kProgramFileName, CurrentProcessId()); }

}  // namespace

std::wstring MainWindowTitle(const std::wstring& productVersion, const std::wstring& fileVersion) {
  return std::wstring(kProductName) + L" - " + productVersion + L" (" + fileVersion + L") " +
         kAuthorCredit;
}

void EnforceSingleInstance() {
  if (!CreateInstanceSemaphore(kProductName) || OtherInstance() == 0) return;
  // The newest copy wins, wherever the older one is stored: a Vantrel.exe of
  // any folder, asked to close as a click on its close box would.
  CloseRunningProgram(kMainWindowClass, kProgramFileName, 0);
  CreateInstanceSemaphore(kProductName);
}

void RemoveUpdateLeftovers() {
  // A zero-byte leftover stays: only a real file from an update is removed.
  for (const wchar_t* name : kLeftoverFiles) {
    if (FileSizeOf(name) > 0) DeleteFileForced(name);
  }
  if (!IsDirectory(kUpdateWorkFolder)) return;
  // A link in its place goes as a link; what it points at stays.
  if (!IsLink(kUpdateWorkFolder)) {
    for (const std::wstring& file : FilesInDirectory(kUpdateWorkFolder)) {
      DeleteFileForced(std::wstring(kUpdateWorkFolder) + L"\\" + file);
    }
  }
  RemoveEmptyDirectory(kUpdateWorkFolder);
}

Settings LoadAndRewriteSettings(const Settings& registryColors,
                                const std::wstring& productVersion) {
  const bool colorsFromFile = registryColors.ColorDistortionR.empty() ||
                              registryColors.ColorDistortionG.empty() ||
                              registryColors.ColorDistortionB.empty();
  const SettingsRead read = ReadSettings(colorsFromFile, registryColors);
  // The file still holds the user's settings, only not now (a scanner or an
  // editor holding it open): keep it, and let the first change the user
  // makes write it.
  if (read.unreadable) {
    AddLogLine(std::wstring(L"Can not read ") + kSettingsFileName + L", defaults in use", 1);
    return read.settings;
  }
  SaveSettings(read.settings, productVersion);
  return read.settings;
}
