#include "companions/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/win32_handles.h"
#include "base/text.h"
#include "companions/process_rules.h"

namespace {

// Process32FirstW refuses an entry whose size field does not match the
// structure the caller was built against.
static_assert(sizeof(PROCESSENTRY32W) == 568, "unexpected PROCESSENTRY32W layout");

// Window class names are at most 256 characters long.
constexpr int kClassChars = 257;
// The longest path Windows can give, terminator included.
constexpr DWORD kImagePathChars = 32768;

// "" when the image cannot be read: a process of another user or a
// protected one refuses even PROCESS_QUERY_LIMITED_INFORMATION, and a
// process that has ended has no image.
std::wstring ImagePathOf(HANDLE process) {
  std::wstring path(kImagePathChars, L'\0');
  DWORD length = kImagePathChars;
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &length)) return L"";
  path.resize(length);
  return path;
}

bool ProcessRuns(ProcessId id, const std::wstring& image) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  return process && ImageIs(ImagePathOf(process.Get()), image);
}

struct ProgramSearch {
  const std::wstring* className;
  const std::wstring* image;
  ProcessId excluded;
  ProgramWindow found;
};

BOOL CALLBACK CheckProgramWindow(HWND window, LPARAM search) {
  auto* state = reinterpret_cast<ProgramSearch*>(search);
  wchar_t className[kClassChars] = {};
  const int length = GetClassNameW(window, className, kClassChars);
  // Windows looks class names up without regard to case.
  if (length <= 0 || ToUpperAscii(std::wstring(className, static_cast<size_t>(length))) !=
                         ToUpperAscii(*state->className)) {
    return TRUE;
  }
  DWORD owner = 0;
  if (GetWindowThreadProcessId(window, &owner) == 0 || owner == state->excluded ||
      !ProcessRuns(owner, *state->image)) {
    return TRUE;
  }
  state->found = ProgramWindow{reinterpret_cast<WindowHandle>(window), owner};
  return FALSE;
}

}  // namespace

ProcessList TakeProcessList() {
  ProcessList list;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return list;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    // szExeFile is terminated within its MAX_PATH characters by the system.
    list.entries.push_back(ProcessEntry{entry.th32ProcessID, entry.szExeFile});
  }
  return list;
}

int TerminateProcessById(ProcessId id) {
  if (id == 0) return 0;
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
  if (!process) return 0;
  // Only asks the system to end the process; it may still be listed for a
  // moment afterwards.
  return TerminateProcess(process.Get(), 1) ? 1 : 0;
}

int TerminateProcessRunning(ProcessId id, const std::wstring& image) {
  if (id == 0) return 0;
  UniqueHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
  if (!process || !ImageIs(ImagePathOf(process.Get()), image)) return 0;
  return TerminateProcess(process.Get(), 1) ? 1 : 0;
}

ProgramWindow FindProgramWindow(const std::wstring& className, const std::wstring& image,
                                ProcessId excluded) {
  // EnumWindows takes the list of top-level windows first, in Z order and
  // hidden ones included, then calls back for each. Walking them with
  // FindWindowExW or GetWindow(GW_HWNDNEXT) instead ends early whenever the
  // window it stands on is destroyed meanwhile, and later windows would be
  // missed; a window destroyed after EnumWindows listed it just has no class
  // or owner any more. EnumWindows reports a stop by the callback as a
  // failure, so its result is not checked.
  ProgramSearch search{&className, &image, excluded, ProgramWindow{}};
  EnumWindows(CheckProgramWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool PostCloseMessage(WindowHandle window, std::uintptr_t wParam) {
  if (window == 0) return false;
  return PostMessageW(reinterpret_cast<HWND>(window), WM_CLOSE, static_cast<WPARAM>(wParam), 0) !=
         FALSE;
}

ProcessId CurrentProcessId() { return GetCurrentProcessId(); }
