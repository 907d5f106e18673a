#include <windows.h>
#include <shellapi.h>

#include "base/run_program.h"
#include "base/win32_handles.h"

namespace {

constexpr DWORD kEndWaitMs = 5000;
// ERROR_ELEVATION_REQUIRED, which mingw's headers lack.
constexpr DWORD kElevationRequired = 740;

struct StartedProgram {
  bool started = false;
  // Empty when the shell started it without handing back a process.
  UniqueHandle process;
  // Why it could not be started.
  DWORD error = ERROR_SUCCESS;
};

StartedProgram NotStarted(DWORD error) {
  StartedProgram program;
  program.error = error;
  return program;
}

std::wstring CommandLineOf(const std::wstring& program, const std::wstring& parameters) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!parameters.empty()) commandLine += L" " + parameters;
  return commandLine;
}

const wchar_t* FolderOrCurrent(const std::wstring& workingFolder) {
  return workingFolder.empty() ? nullptr : workingFolder.c_str();
}

// The null device, open for the child to inherit: reading it gives the end
// of input at once and what is written to it is dropped.
UniqueHandle OpenNullDevice() {
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  return UniqueHandle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                  0, nullptr));
}

StartedProgram CreateProgramProcess(const std::wstring& program, const std::wstring& parameters,
                                    RunOptions options, const std::wstring& workingFolder) {
  std::wstring commandLine = CommandLineOf(program, parameters);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  UniqueHandle nullDevice;
  if (options.emptyInput) {
    nullDevice = OpenNullDevice();
    if (!nullDevice) return NotStarted(GetLastError());
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nullDevice.Get();
  }
  DWORD flags = 0;
  if (options.hidden) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    // A console program started from a GUI program would get a console
    // window of its own; CREATE_NO_WINDOW keeps it from ever flashing up.
    flags = CREATE_NO_WINDOW;
  }
  PROCESS_INFORMATION started{};
  // Handles are passed on only for the null device; the program opens no
  // other handle as inheritable.
  const BOOL inherit = nullDevice ? TRUE : FALSE;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, inherit, flags, nullptr,
                      FolderOrCurrent(workingFolder), &startup, &started)) {
    return NotStarted(GetLastError());
  }
  UniqueHandle thread(started.hThread);
  return {true, UniqueHandle(started.hProcess)};
}

// A program that asks for administrator rights cannot be created from a
// process without them; only the shell can start it, through the elevation
// prompt.
StartedProgram ShellStartProgram(const std::wstring& program, const std::wstring& parameters,
                                 RunOptions options, const std::wstring& workingFolder) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // Without NOASYNC the shell may finish on a thread that dies with a
  // short-lived caller; FLAG_NO_UI keeps a failure from showing a box.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  if (options.wait) info.fMask |= SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = FolderOrCurrent(workingFolder);
  info.nShow = options.hidden ? SW_HIDE : SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return {};
  return {true, UniqueHandle(info.hProcess)};
}

}  // namespace

int RunProgram(const std::wstring& program, const std::wstring& parameters, RunOptions options,
               const std::wstring& workingFolder) {
  StartedProgram started = CreateProgramProcess(program, parameters, options, workingFolder);
  // Only elevation is the shell's to handle: for anything else CreateProcess
  // refused, the shell would open the file with whatever the user associated
  // with it, as administrator, and without the empty input and the hidden
  // console asked for.
  if (!started.started && started.error == kElevationRequired) {
    started = ShellStartProgram(program, parameters, options, workingFolder);
  }
  if (!started.started) return kProgramNotStarted;
  if (!options.wait) return 0;
  if (!started.process) return kProgramNotStarted;
  if (WaitForSingleObject(started.process.Get(), options.waitLimitMs) == WAIT_TIMEOUT) {
    // Termination completes after the call returns; a short wait lets the
    // process be gone before the caller goes on.
    TerminateProcess(started.process.Get(), 1);
    WaitForSingleObject(started.process.Get(), kEndWaitMs);
    return kProgramEnded;
  }
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(started.process.Get(), &exitCode)) return kProgramNotStarted;
  return static_cast<int>(exitCode);
}

std::wstring SystemProgramPath(const std::wstring& fileName) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  return std::wstring(folder, length) + L"\\" + fileName;
}
