// Who may change the program's folder. The program runs elevated, so
// whoever can replace its files there can run code as administrator.
#pragma once

#include <string>
#include <vector>

#include "base/win32_handles.h"

// The files the program brings into its folder that hold code, besides the
// program file itself (whose name may differ): the updater an update writes.
inline constexpr const wchar_t* kShippedCodeFiles[] = {L"vtrel.updater.exe"};

// The security descriptors of what decides the code that runs: the folder,
// each code file in it that exists, and every folder above it up to the
// drive's root (none for a folder that is a drive's root).
struct ProgramFolderDescriptors {
  PSECURITY_DESCRIPTOR folder = nullptr;
  std::vector<PSECURITY_DESCRIPTOR> files;
  std::vector<PSECURITY_DESCRIPTOR> ancestors;
};

// The token of the user's processes that are not elevated, fit for
// AccessCheck: the one linked to an elevated token, otherwise the own one,
// with the Administrators group counting only to deny. No handle on failure.
UniqueHandle UserLevelToken();

// Whether `token` may add, replace, rename or remove what the descriptors
// protect, or give itself the right to: the folder's add-file,
// add-subfolder, delete-child, delete and its write-DAC and write-owner, the
// files' write, delete and those two, and on every folder above delete-child,
// delete and those two (renaming any of them swaps the whole tree). True
// also when a descriptor cannot be judged.
bool TokenCanChangeProgram(HANDLE token, const ProgramFolderDescriptors& descriptors);

// The same for the running program's folder and the ordinary processes of
// the user and of the desktop's user; true when a descriptor or the user's
// token cannot be read, or when a folder on the way is a link or junction
// (whoever owns it may point it elsewhere, and its list is not what guards
// the path), as nothing then shows the folder to be protected.
bool UserCanChangeProgram(const std::wstring& programPath);
