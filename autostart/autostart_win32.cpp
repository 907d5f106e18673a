#include "base/run_program.h"
#include "autostart/autostart.h"

namespace {

// Found through the usual search: the program's folder and the current
// directory come before the system folder.
constexpr wchar_t kSchtasks[] = L"schtasks";

static_assert(kSchtasksNotStarted == kProgramNotStarted);

}  // namespace

int RunSchtasks(const std::wstring& parameters) {
  return RunProgram(kSchtasks, parameters, {.hidden = true, .wait = true});
}
