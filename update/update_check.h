// The self-update check: asks the download server for a newer build, shows
// its change log and, when the user agrees, downloads and verifies the
// archive and hands over to the updater, which replaces the program.
#pragma once

#include <cstdint>
#include <string>

// Runs synchronously on the main thread. Manual for the "Check for Update"
// label (which the caller has disabled; the main loop enables it again),
// automatic at start-up. Returns only when it did not hand over.
void UpdateCheck(bool manual);

inline constexpr int kChangeLogUpdate = 1;
inline constexpr int kChangeLogSkip = -1;
inline constexpr int kChangeLogCancel = 0;  // also every failure

// Fetches the change log and shows it modally with the release's name and
// version in the title; one of the three results above.
int ChangeLogDialog(const std::wstring& displayName, const std::wstring& version);

// The server's base URL ("https://host/dl"); every resource path is
// appended to it. The built one, unless an administrator's policy names
// another https URL.
std::wstring DownloadBaseUrl();

// Whether an administrator's policy (the DWORD AllowUnprotectedFolder = 1)
// lets the program set up its log-on task and updates from a folder that
// others can change, for machines that protect it by other means.
bool PolicyAllowsUnprotectedFolder();

// The version file's four "|"-separated fields, verbatim; missing ones are
// empty. A fifth holds their signature (update_signature.h); any after it
// are ignored.
struct VersionFile {
  std::wstring displayName;
  std::wstring version;
  std::wstring archiveName;
  std::wstring checksum;
};
VersionFile SplitVersionFile(const std::wstring& text);

// The date of a "year.month.day.build" version in days since 1970-01-01;
// -1 when year, month and day do not make a date from 1970-01-01 to
// 2038-01-19.
std::int64_t VersionDate(const std::wstring& version);

// Whether `online` is a later build than `own`: a later date, or the same
// date and a higher build number.
bool IsNewerVersion(const std::wstring& online, const std::wstring& own);

// A skipped version goes into the settings file as a value of its own line;
// one holding a control character (a line break) would add lines of its own.
bool CanStoreSkippedVersion(const std::wstring& version);
