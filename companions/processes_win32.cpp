#include "companions/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/win32_handles.h"
#include "companions/process_rules.h"

namespace {

// Process32FirstW refuses an entry whose size field does not match the
// structure the caller was built against.
static_assert(sizeof(PROCESSENTRY32W) == 568, "unexpected PROCESSENTRY32W layout");

// Window titles are read into this many characters, terminator included;
// longer titles are cut, which only matters for parts beyond that length.
constexpr int kTitleChars = 999;

std::wstring WindowTitle(HWND window) {
  wchar_t buffer[kTitleChars] = {};
  const int length = GetWindowTextW(window, buffer, kTitleChars);
  return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

struct TitleSearch {
  const std::wstring* part;
  HWND found;
};

BOOL CALLBACK CheckWindowTitle(HWND window, LPARAM search) {
  auto* state = reinterpret_cast<TitleSearch*>(search);
  if (!TitleContainsPart(WindowTitle(window), *state->part)) return TRUE;
  state->found = window;
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

WindowHandle FindWindowByTitlePart(const std::wstring& text) {
  // EnumWindows takes the list of top-level windows first, in Z order and
  // hidden ones included, then calls back for each. Walking the desktop's
  // children with GetWindow(GW_HWNDNEXT) instead ends early whenever the
  // window it stands on is destroyed meanwhile, and later windows would be
  // missed; a window destroyed after EnumWindows listed it just reads an
  // empty title. EnumWindows reports a stop by the callback as a failure, so
  // its result is not checked.
  TitleSearch search{&text, nullptr};
  EnumWindows(CheckWindowTitle, reinterpret_cast<LPARAM>(&search));
  return reinterpret_cast<WindowHandle>(search.found);
}

bool PostCloseMessage(WindowHandle window, std::uintptr_t wParam) {
  if (window == 0) return false;
  return PostMessageW(reinterpret_cast<HWND>(window), WM_CLOSE, static_cast<WPARAM>(wParam), 0) !=
         FALSE;
}

ProcessId CurrentProcessId() { return GetCurrentProcessId(); }
