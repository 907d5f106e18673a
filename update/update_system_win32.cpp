#include <windows.h>
#include <winsock2.h>

#include "base/files.h"
#include "base/program_state.h"
#include "base/run_program.h"
#include "base/shutdown.h"
#include "base/win32_handles.h"
#include "update/http.h"
#include "update/update_system.h"
#include "resources/updater_image.h"

namespace {

// A release is a few megabytes; anything far larger is not one, and the
// whole download may take ten minutes on a slow line, not more.
constexpr StreamLimits kArchiveLimits{64ull << 20, 600};

bool WriteAllBytes(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool AppendToFile(const char* data, std::size_t size, void* file) {
  return WriteAllBytes(static_cast<HANDLE>(file), data, static_cast<DWORD>(size));
}

}  // namespace

bool WriteUpdaterImage(const std::wstring& path) {
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(VANTREL_UPDATER_IMAGE), RT_RCDATA);
  HGLOBAL loaded = resource ? LoadResource(program, resource) : nullptr;
  const void* image = loaded ? LockResource(loaded) : nullptr;
  if (image == nullptr) return false;
  // A read-only leftover would refuse CREATE_ALWAYS.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  if (WriteAllBytes(file.Get(), image, SizeofResource(program, resource))) return true;
  file.Reset();
  DeleteFileW(path.c_str());
  return false;
}

void MakeFolder(const std::wstring& path) {
  // The download and tar write into this folder as administrator: a link in
  // its place must not send them elsewhere.
  if (IsLink(path)) RemoveDirectoryW(path.c_str());
  CreateDirectoryW(path.c_str(), nullptr);
}

void RemoveFolderTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry{};
  // A link in the folder's place is removed as a link; what it points at
  // stays, as it does for the links found inside.
  HANDLE search =
      IsLink(path) ? INVALID_HANDLE_VALUE : FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      // A link to a folder is removed as a link; what it points to stays.
      const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                          !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (folder) {
        RemoveFolderTree(child);
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(child.c_str());
      } else {
        DeleteFileForced(child);
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

bool StartNetworking() {
  static bool started = false;
  if (started) return true;
  WSADATA data{};
  started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  return started;
}

bool DownloadToFile(const std::string& url, const std::wstring& path) {
  bool done = false;
  {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    done = HttpGetStreamed(url, kArchiveLimits, AppendToFile, file.Get());
  }
  if (!done) DeleteFileW(path.c_str());
  return done;
}

// By its full path in the program folder, where it was just written: a bare
// name would leave the choice of file to the process search order.
bool StartUpdater(const std::wstring& parameters) {
  const std::wstring& program = Identity().programPath;
  const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  return RunProgram(folder + kUpdaterFileName, parameters, {}) != kProgramNotStarted;
}

void EndProgramForUpdate() { ReleaseAndExit(0); }
