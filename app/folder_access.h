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
// each code file in it that exists, and the folder that holds the folder
// (null for a drive's root).
struct ProgramFolderDescriptors {
  PSECURITY_DESCRIPTOR folder = nullptr;
  std::vector<PSECURITY_DESCRIPTOR> files;
  PSECURITY_DESCRIPTOR parent = nullptr;
};

// The token of the user's processes that are not elevated, fit for
// AccessCheck: the one linked to an elevated token, otherwise the own one,
// with the Administrators group counting only to deny. No handle on failure.
UniqueHandle UserLevelToken();

// Whether `token` may add, replace, rename or remove what the descriptors
// protect, or give itself the right to: the folder's add-file,
// add-subfolder, delete-child, delete and its write-DAC and write-owner, the
// files' write, delete and those two, and delete-child on the parent. True
// also when a descriptor cannot be judged.
bool TokenCanChangeProgram(HANDLE token, const ProgramFolderDescriptors& descriptors);

// The same for the running program's folder and the user's ordinary
// processes; true when a descriptor or the token cannot be read, as nothing
// then shows the folder to be protected.
bool UserCanChangeProgram(const std::wstring& programPath);
