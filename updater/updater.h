// The updater: replaces the program's files with those of a verified update
// archive while the program is not running, then starts the program again.
// Its portable steps; the window and the threads are the Windows side's.
#pragma once

#include <string>
#include <vector>

inline constexpr wchar_t kUpdateParameter[] = L"/update";
inline constexpr wchar_t kArchiveName[] = L"update.zip";

// The work folder inside `programFolder` (which ends with a separator),
// without a separator at the end.
std::wstring WorkFolderOf(const std::wstring& programFolder);

// The entry checks: exactly "/update" and the archive's SHA3-224 digest,
// and the archive in the work folder has that digest. When they fail the
// program is still closed but no file is changed.
bool UpdateMayProceed(const std::vector<std::wstring>& parameters,
                      const std::wstring& programFolder);

// The worker: waits for the program to end itself, asks it to close and
// ends it by force if it does not, then, if `mayProceed`, extracts the
// archive and swaps the files. Every path returns, so the updater can
// start the program again and end.
void RunUpdateWorker(const std::wstring& programFolder, bool mayProceed);

// "Updating Vantrel" followed by `dots` dots, and the number of dots the
// next turn shows: 0 to 3, then 0 again.
std::wstring ProgressText(int dots);
int NextProgressDots(int dots);
