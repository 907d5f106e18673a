#include "update/update_check.h"

#include <vector>

#include "base/clock.h"
#include "base/files.h"
#include "base/loop_state.h"
#include "base/product.h"
#include "base/program_state.h"
#include "base/text.h"
#include "base/worker_slot.h"
#include "base/event_log.h"
#include "update/download_url.h"
#include "update/file_digest.h"
#include "update/http.h"
#include "update/update_signature.h"
#include "update/update_system.h"
#include "update/update_ui.h"
#include "winsettings/registry.h"

namespace {

constexpr wchar_t kVersionFilePath[] = L"/vtrel.ver";
constexpr wchar_t kChangeLogPath[] = L"/change.log";
// An error page saved in place of the archive is smaller than any release.
constexpr std::int64_t kSmallestArchiveBytes = 10240;
// A change log this short is an error page or an empty file, not a release.
constexpr size_t kShortestChangeLog = 1025;
constexpr std::int64_t kUpdateButtonPauseSeconds = 5;
constexpr unsigned kWorkerPollMs = 100;
// Windows' place for settings an administrator manages: ordinary users
// cannot write below HKLM\SOFTWARE\Policies, so only an administrator can
// point the elevated program at another server or another trust.
constexpr wchar_t kPolicyKey[] = L"SOFTWARE\\Policies\\Vantrel";
constexpr wchar_t kPolicyBaseUrl[] = L"UpdateBaseUrl";
constexpr wchar_t kPolicyCaFile[] = L"UpdateCaFile";
constexpr wchar_t kPolicyPublicKey[] = L"UpdatePublicKey";
constexpr wchar_t kPolicyUnprotectedFolder[] = L"AllowUnprotectedFolder";
constexpr wchar_t kHttpsScheme[] = L"https://";

bool newVersionFound = false;
std::wstring onlineVersion;

// A REG_SZ value of the policy key in the native view; empty when it is
// missing or of another type.
std::wstring PolicyText(const wchar_t* name) {
  RegValue record;
  const std::wstring text = ReadRegValue(kHkeyLocalMachine, kPolicyKey, name, 0, &record);
  return record.VALUETYPE == kRegSz ? text : std::wstring();
}

// A managed mirror signs with a key of its own: the policy names it as 128
// hexadecimal digits, X then Y. Anything else leaves the built key in force.
UpdatePublicKey TrustedUpdateKey() {
  return ParseHex64(ToUtf8(PolicyText(kPolicyPublicKey)), false).value_or(CompiledUpdateKey());
}

}  // namespace

bool PolicyAllowsUnprotectedFolder() {
  RegValue record;
  ReadRegValue(kHkeyLocalMachine, kPolicyKey, kPolicyUnprotectedFolder, 0, &record);
  return record.VALUETYPE == kRegDword && record.DWORDVALUE == 1;
}

namespace {

std::string UrlOf(const std::wstring& path) { return ToUtf8(DownloadBaseUrl() + path); }

void LogError(const std::wstring& message) { AddLogLine(message, 1); }

void PauseUpdateButton() {
  Loop().updateButtonEnableTime = MonotonicSeconds() + kUpdateButtonPauseSeconds;
}

void CleanUp() {
  if (FileSizeOf(kUpdaterFileName) > 0) DeleteFileForced(kUpdaterFileName);
  if (IsDirectory(kUpdateWorkFolder)) RemoveFolderTree(kUpdateWorkFolder);
  PauseUpdateButton();
}

// One number of a version: blanks and tabs, an optional sign, then digits
// up to the first other character.
std::int64_t VersionNumber(const std::wstring& field) {
  const size_t start = field.find_first_not_of(L" \t");
  return start == std::wstring::npos ? 0 : LeadingInteger(field.substr(start));
}

std::vector<std::wstring> SplitAt(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    fields.push_back(text.substr(start, end - start));
    if (end == std::wstring::npos) return fields;
    start = end + 1;
  }
}

std::wstring FieldOf(const std::vector<std::wstring>& fields, size_t number) {
  return number <= fields.size() ? fields[number - 1] : std::wstring();
}

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a valid date.
std::int64_t DaysSinceEpoch(std::int64_t year, std::int64_t month, std::int64_t day) {
  std::int64_t days = day - 1;
  for (std::int64_t y = 1970; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
  for (std::int64_t m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days;
}

// The updater closes the program soon after it starts: a headset worker
// still switching the device nodes must have finished before the updater is
// written. The windows keep answering meanwhile. A worker that outlasts the
// wait the program's own end allows is stuck in a device call, and the
// update is given up rather than waited for without end.
bool WaitForHeadsetWorker() {
  const std::int64_t deadline = MonotonicSeconds() + kWorkerEndWaitSeconds;
  while (WorkerRunning()) {
    if (MonotonicSeconds() >= deadline) return false;
    AnswerMessagesFor(kWorkerPollMs);
  }
  return true;
}

// What an update needs after the user agreed: the updater, the verified
// archive and the updater running. False after a failure, already logged.
bool PrepareAndStartUpdater(const VersionFile& release) {
  // The updater runs elevated and the new program after it; in a folder the
  // user's ordinary processes can change, either could be swapped on the way.
  if (!ProgramFolderTrusted()) {
    LogError(std::wstring(L"Can not update in a folder others can change: ") +
             kProtectedFolderAdvice);
    return false;
  }
  if (!WaitForHeadsetWorker()) {
    LogError(L"Can not update while the headset is being switched");
    return false;
  }
  if (!WriteUpdaterImage(kUpdaterFileName)) {
    LogError(L"Can not write Updater to Disk");
    return false;
  }
  MakeFolder(kUpdateWorkFolder);
  if (!StartNetworking()) return false;
  if (!DownloadToFile(UrlOf(L"/" + release.archiveName), kUpdateArchivePath)) {
    LogError(L"Can not download Update File");
    return false;
  }
  if (FileSizeOf(kUpdateArchivePath) <= kSmallestArchiveBytes) {
    LogError(L"Can not find Update File on DL Server");
    return false;
  }
  if (!FileHasDigest(kUpdateArchivePath, release.checksum)) {
    LogError(L"Checksum of Update File is wrong");
    return false;
  }
  if (!StartUpdater(L"/update " + release.checksum)) {
    LogError(std::wstring(L"Can not run ") + kUpdaterFileName);
    return false;
  }
  return true;
}

// Steps up to the version comparison. False when the check is over: the
// skip rule ended it silently (`skipped`), or a failure was logged.
bool ReadOnlineVersion(bool manual, VersionFile& release, bool& skipped) {
  HttpReply reply;
  if (!HttpGetText(UrlOf(kVersionFilePath), reply)) {
    LogError(L"Can not check for Updates (Online?)");
    return false;
  }
  if (reply.status != 200 || reply.body.empty()) {
    LogError(L"Can not read Online Version");
    return false;
  }
  // Whoever holds the server, or its certificate, could serve any archive
  // with a digest to match; only the publisher's key can sign the digest.
  if (!VersionFileIsSigned(reply.body, TrustedUpdateKey())) {
    LogError(L"Update is not signed correctly");
    return false;
  }
  release = SplitVersionFile(FromUtf8(reply.body));
  onlineVersion = release.version;
  if (!manual && onlineVersion == ProgramSettings().SkipUpdate) {
    skipped = true;
    return false;
  }
  if (release.version.empty() || release.archiveName.empty()) {
    LogError(L"No Online Version found");
    return false;
  }
  return true;
}

}  // namespace

std::wstring DownloadBaseUrl() {
  const std::wstring policy = PolicyText(kPolicyBaseUrl);
  return policy.rfind(kHttpsScheme, 0) == 0 ? policy : std::wstring(kBuiltDownloadBaseUrl);
}

VersionFile SplitVersionFile(const std::wstring& text) {
  const std::vector<std::wstring> fields = SplitAt(text, L'|');
  return VersionFile{FieldOf(fields, 1), FieldOf(fields, 2), FieldOf(fields, 3),
                     FieldOf(fields, 4)};
}

std::int64_t VersionDate(const std::wstring& version) {
  const std::vector<std::wstring> fields = SplitAt(version, L'.');
  const std::int64_t year = VersionNumber(FieldOf(fields, 1));
  const std::int64_t month = VersionNumber(FieldOf(fields, 2));
  const std::int64_t day = VersionNumber(FieldOf(fields, 3));
  if (year < 1970 || year > 2038 || month < 1 || month > 12) return -1;
  if (day < 1 || day > DaysInMonth(year, month)) return -1;
  // The last second a 32-bit time can hold falls on 19 January 2038.
  if (year == 2038 && (month > 1 || day > 19)) return -1;
  return DaysSinceEpoch(year, month, day);
}

bool IsNewerVersion(const std::wstring& online, const std::wstring& own) {
  const std::int64_t onlineDate = VersionDate(online);
  const std::int64_t ownDate = VersionDate(own);
  if (onlineDate != ownDate) return onlineDate > ownDate;
  return VersionNumber(FieldOf(SplitAt(online, L'.'), 4)) >
         VersionNumber(FieldOf(SplitAt(own, L'.'), 4));
}

bool CanStoreSkippedVersion(const std::wstring& version) {
  for (wchar_t c : version) {
    if (c < 32 || c == 127) return false;
  }
  return true;
}

int ChangeLogDialog(const std::wstring& displayName, const std::wstring& version) {
  HttpReply reply;
  if (!HttpGetText(UrlOf(kChangeLogPath), reply)) {
    LogError(L"Can not check for Updates (Online?)");
    return kChangeLogCancel;
  }
  const std::wstring changeLog = FromUtf8(reply.body);
  if (reply.status != 200 || changeLog.size() < kShortestChangeLog) {
    LogError(L"Can not read Changelog");
    return kChangeLogCancel;
  }
  const std::wstring title =
      std::wstring(kProductName) + L" - New Update found: " + displayName + L" (" + version + L")";
  return RunChangeLogWindow(title, changeLog);
}

void UpdateCheck(bool manual) {
  newVersionFound = false;
  SetHttpCaFile(ToUtf8(PolicyText(kPolicyCaFile)));
  VersionFile release;
  bool skipped = false;
  if (ReadOnlineVersion(manual, release, skipped)) {
    if (IsNewerVersion(release.version, Identity().fileVersion)) {
      newVersionFound = true;
      LogError(L"New Version " + release.displayName + L" (" + release.version + L")");
    } else {
      AddLogLine(L"No new Version found", 0);
    }
  }
  if (skipped) {
    PauseUpdateButton();
    return;
  }
  if (!newVersionFound) {
    if (manual) {
      ShowUpdateCheckMessage(std::wstring(kProductName) + L" Update Check",
                             L"No new Version found");
    }
    CleanUp();
    return;
  }

  const int choice = ChangeLogDialog(release.displayName, release.version);
  Settings& settings = ProgramSettings();
  if (choice == kChangeLogSkip) {
    if (CanStoreSkippedVersion(onlineVersion)) settings.SkipUpdate = onlineVersion;
  } else {
    settings.SkipUpdate.clear();
  }
  SaveProgramSettings();
  if (choice == kChangeLogUpdate && PrepareAndStartUpdater(release)) {
    EndProgramForUpdate();
    return;
  }
  CleanUp();
}
