// Stand-in for a program the shell starts for the user (a URL handler, a
// settings program): appends to "<its own path>.log" one line with the image
// name of the process that started it and its first argument, then exits.
// Under Wine every process has a full token, so who started it is what
// tells a start at the user's level (by Explorer) from one by Vantrel.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <string>

#include "base/win32_handles.h"

namespace {

// CreateToolhelp32Snapshot and PROCESSENTRY32W: th32ParentProcessID names
// the creator, szExeFile holds the bare image name.
bool FindProcess(DWORD id, PROCESSENTRY32W& entry) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == id) return true;
  }
  return false;
}

std::wstring ParentImage() {
  PROCESSENTRY32W self{};
  PROCESSENTRY32W parent{};
  if (!FindProcess(GetCurrentProcessId(), self)) return L"?";
  if (!FindProcess(self.th32ParentProcessID, parent)) return L"(gone)";
  return parent.szExeFile;
}

std::wstring FirstArgument() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return L"";
  std::wstring first = count > 1 ? arguments[1] : L"";
  LocalFree(arguments);
  return first;
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 2;
  const std::string line = Utf8(ParentImage() + L" " + FirstArgument()) + "\n";
  UniqueHandle log(CreateFileW((std::wstring(self) + L".log").c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (!log ||
      !WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
    return 3;
  }
  return 0;
}
