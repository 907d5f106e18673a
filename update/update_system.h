// What the update check needs from the machine: the updater image, the work
// folder, the download, starting the updater and ending the program.
#pragma once

#include <string>

inline constexpr wchar_t kUpdaterFileName[] = L"vtrel.updater.exe";
inline constexpr wchar_t kUpdateWorkFolder[] = L"vtrel_tmp";
inline constexpr wchar_t kUpdateArchivePath[] = L"vtrel_tmp\\update.zip";

// Writes the updater carried inside the program to `path`, byte for byte,
// replacing a file of that name; false when it cannot be written.
bool WriteUpdaterImage(const std::wstring& path);

// Creates a folder; one that exists already is fine, a link in its place
// is removed first.
void MakeFolder(const std::wstring& path);
// Deletes a folder with everything in it, read-only files too; links, the
// folder itself included, are removed as links, never followed.
void RemoveFolderTree(const std::wstring& path);

// Starts the network layer once per process; false when it cannot.
bool StartNetworking();

// GETs `url` into the file `path` (created or overwritten, readable by
// others while written). True when the transfer ended without a transport
// error, within 64 MiB and ten minutes; on failure the partial or
// oversized file is deleted.
bool DownloadToFile(const std::string& url, const std::wstring& path);

// Starts the updater from the program folder with `parameters`, visible and
// not waited for.
bool StartUpdater(const std::wstring& parameters);

// Ends the program for the updater: releases everything and exits.
void EndProgramForUpdate();
