// File operations the program needs, on the machine it runs on. Relative
// paths resolve against the current directory, which start-up sets to the
// program's folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole contents of a file; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes a temporary file beside `path` and moves it over `path` in one
// step, so a failure at any point leaves the previous file untouched.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);

// Renames a file; fails when `to` exists: nothing is ever overwritten. Like
// ReplaceFileContents it waits out, for up to a second, another process
// that holds the file open.
bool RenameWithoutReplacing(const std::wstring& from, const std::wstring& to);

// Size in bytes of a regular file; -1 when it does not exist or is a folder.
std::int64_t FileSizeOf(const std::wstring& path);

// Deletes a file, clearing its read-only attribute first.
bool DeleteFileForced(const std::wstring& path);

bool IsDirectory(const std::wstring& path);

// Whether `path` itself is a junction or a symbolic link (a reparse point).
// The elevated program removes such a link as a link and never deletes
// through it what it points at.
bool IsLink(const std::wstring& path);

// Names (not paths) of the plain files directly inside a folder.
std::vector<std::wstring> FilesInDirectory(const std::wstring& folder);

bool RemoveEmptyDirectory(const std::wstring& path);
