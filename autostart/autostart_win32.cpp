#include "base/run_program.h"
#include "autostart/autostart.h"

namespace {

// Found through the usual search: the program's folder and the current
// directory come before the system folder.
constexpr wchar_t kSchtasks[] = L"schtasks";

// Longer than any answer from the Task Scheduler takes; the main thread
// waits meanwhile.
constexpr unsigned kSchtasksLimitMs = 30000;

static_assert(kSchtasksNotStarted == kProgramNotStarted);

}  // namespace

// A question schtasks asks (Y/N) reads the end of input and is refused, so
// it can never wait for an answer nobody sees.
int RunSchtasks(const std::wstring& parameters) {
  return RunProgram(
      kSchtasks, parameters,
      {.hidden = true, .wait = true, .emptyInput = true, .waitLimitMs = kSchtasksLimitMs});
}
