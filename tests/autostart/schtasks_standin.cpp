// Stand-in for the system's schtasks.exe (Wine's own is a stub). Installed as
// schtasks.exe in the test prefix's system folder. It keeps a task list in
// "schtasks-tasks.txt" beside itself and appends to "schtasks-calls.txt"
// one line per run: its exact command line, a tab, "hidden" or "shown" for
// how it was asked to show its window, a tab, and what its standard input
// held: "empty" (the end at once), "input" (something to read) or "none"
// (no usable handle). The line is written only at the very end, after a
// pause, so a caller that reads it right after the call has returned
// proves that it waited.
//
// /Query /TN name            exit 0 when the task exists, 1 otherwise
// /Create ... /TN name /TR a  adds the task (an existing one only with /F);
//                             like schtasks it takes the action a as a
//                             command line and keeps the program it runs
// /Delete /TN name /F         removes it; without /F it would ask, so fails
// With a file "schtasks-deny.txt" beside it, creating and deleting fail as
// they do without the rights to change tasks; with "schtasks-hang.txt" it
// never ends, as when it waits for an answer.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

constexpr DWORD kPauseMs = 300;

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring Wide(const std::string& bytes) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// Shared for reading: the tests poll these files, and a poll that had the
// file open just then would otherwise make the write fail and the line go.
void WriteFileBytes(const std::wstring& path, const std::string& bytes, bool append) {
  HANDLE file =
      CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

using Tasks = std::map<std::wstring, std::wstring>;  // upper-cased name: program

std::wstring Upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

Tasks ReadTasks(const std::wstring& path) {
  Tasks tasks;
  const std::wstring text = Wide(ReadFileBytes(path));
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find(L'\n', start), text.size());
    const std::wstring line = text.substr(start, end - start);
    const size_t tab = line.find(L'\t');
    if (tab != std::wstring::npos) tasks[line.substr(0, tab)] = line.substr(tab + 1);
    start = end + 1;
  }
  return tasks;
}

void WriteTasks(const std::wstring& path, const Tasks& tasks) {
  std::wstring text;
  for (const auto& [name, program] : tasks) text += name + L"\t" + program + L"\n";
  WriteFileBytes(path, Utf8(text), false);
}

std::wstring Option(int argc, wchar_t** argv, const wchar_t* option, bool* present = nullptr) {
  for (int i = 1; i < argc; ++i) {
    if (Upper(argv[i]) != option) continue;
    if (present) *present = true;
    return i + 1 < argc ? argv[i + 1] : L"";
  }
  if (present) *present = false;
  return L"";
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program of an action's command line; Windows splits the first
// argument of a command line by the same rule.
std::wstring ActionProgram(const std::wstring& action) {
  if (action.empty()) return action;
  int count = 0;
  wchar_t** parts = CommandLineToArgvW(action.c_str(), &count);
  if (!parts) return std::wstring();
  std::wstring program = count > 0 ? parts[0] : L"";
  LocalFree(parts);
  return program;
}

// Reads one byte, as a Y/N question would.
const wchar_t* InputState() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char byte = 0;
  DWORD read = 0;
  if (input == nullptr || input == INVALID_HANDLE_VALUE ||
      !ReadFile(input, &byte, 1, &read, nullptr)) {
    return L"none";
  }
  return read == 0 ? L"empty" : L"input";
}

int Run(int argc, wchar_t** argv, const std::wstring& folder) {
  const std::wstring tasksPath = folder + L"schtasks-tasks.txt";
  if (argc < 2) return 1;
  const std::wstring operation = Upper(argv[1]);
  const std::wstring name = Upper(Option(argc, argv, L"/TN"));
  if (name.empty()) return 1;
  bool force = false;
  Option(argc, argv, L"/F", &force);
  Tasks tasks = ReadTasks(tasksPath);
  const bool exists = tasks.count(name) != 0;
  if (operation == L"/QUERY") return exists ? 0 : 1;
  if (Exists(folder + L"schtasks-deny.txt")) return 1;
  if (operation == L"/DELETE") {
    if (!exists || !force) return 1;
    tasks.erase(name);
  } else if (operation == L"/CREATE") {
    if (exists && !force) return 1;
    tasks[name] = ActionProgram(Option(argc, argv, L"/TR"));
  } else {
    return 1;
  }
  WriteTasks(tasksPath, tasks);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring folder = OwnFolder();
  if (Exists(folder + L"schtasks-hang.txt")) Sleep(INFINITE);
  const int exitCode = Run(argc, argv, folder);
  const std::wstring input = InputState();
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  const bool hidden = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
  Sleep(kPauseMs);
  WriteFileBytes(folder + L"schtasks-calls.txt",
                 Utf8(std::wstring(GetCommandLineW()) + (hidden ? L"\thidden\t" : L"\tshown\t") +
                      input + L"\n"),
                 true);
  return exitCode;
}
