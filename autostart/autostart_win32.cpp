#include "base/run_program.h"
#include "autostart/autostart.h"

namespace {

// By its full path: through the search path a schtasks.exe in the
// program's folder or the current directory would run elevated instead.
constexpr wchar_t kSchtasks[] = L"schtasks.exe";

// Longer than any answer from the Task Scheduler takes; the main thread
// waits meanwhile.
constexpr unsigned kSchtasksLimitMs = 30000;

static_assert(kSchtasksNotStarted == kProgramNotStarted);

}  // namespace

// A question schtasks asks (Y/N) reads the end of input and is refused, so
// it can never wait for an answer nobody sees.
int RunSchtasks(const std::wstring& parameters) {
  return RunProgram(
      SystemProgramPath(kSchtasks), parameters,
      {.hidden = true, .wait = true, .emptyInput = true, .waitLimitMs = kSchtasksLimitMs});
}
