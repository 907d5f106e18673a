#include <windows.h>

#include <algorithm>

#include "base/files.h"
#include "base/win32_handles.h"

namespace {

constexpr wchar_t kTemporarySuffix[] = L".tmp";
// How long a rename waits out another process holding the file open.
constexpr int kMoveTries = 10;
constexpr DWORD kMoveRetryMs = 100;

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
    DWORD done = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
    written += done;
  }
  return true;
}

bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // The data must be on disk before the rename makes it the real file, or a
  // power cut could leave an empty settings file behind.
  return WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
}

// A process that holds the file open without sharing deletion (a virus
// scanner, an editor, a backup tool) makes the rename fail with a sharing
// violation or access denied until it closes the file, usually moments later.
// A read-only file or a folder in its place is refused with access denied
// too, but for good: waiting would only hold up the caller.
bool MayPass(DWORD error, const std::wstring& to) {
  if (error == ERROR_SHARING_VIOLATION) return true;
  const DWORD attributes = GetFileAttributesW(to.c_str());
  return error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

bool MoveWaitingOutHolders(const std::wstring& from, const std::wstring& to, DWORD flags) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), flags)) return true;
    if (attempt == kMoveTries || !MayPass(GetLastError(), to)) return false;
    Sleep(kMoveRetryMs);
  }
}

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  // Sharing deletion lets the program's own saves replace the file while
  // anyone reads it.
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64 << 20)) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) return false;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return true;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + kTemporarySuffix;
  if (!WriteNewFile(temporary, bytes) ||
      !MoveWaitingOutHolders(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool RenameWithoutReplacing(const std::wstring& from, const std::wstring& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
  return MoveWaitingOutHolders(from, to, 0);
}

std::int64_t FileSizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool DeleteFileForced(const std::wstring& path) {
  // DeleteFileW refuses read-only files; clear the attribute first.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  return DeleteFileW(path.c_str()) != 0;
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::vector<std::wstring> FilesInDirectory(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

bool RemoveEmptyDirectory(const std::wstring& path) { return RemoveDirectoryW(path.c_str()) != 0; }
