#include "autostart/autostart.h"

#include "base/event_log.h"
#include "base/product.h"
#include "base/program_state.h"

namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring TaskName() { return Quoted(kProductName); }

// One argument in the form programs split their command line by
// (CommandLineToArgvW): in double quotes, each quote as \" and backslashes
// doubled only where a quote follows them.
std::wstring QuotedArgument(const std::wstring& text) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'"') quoted.append(backslashes + 1, L'\\');
    backslashes = c == L'\\' ? backslashes + 1 : 0;
    quoted += c;
  }
  quoted.append(backslashes, L'\\');
  return quoted + L"\"";
}

// The task runs the /TR text as a command line of its own, where a path
// with a space must be in quotes to stay one program.
std::wstring TaskAction(const std::wstring& programPath) {
  const bool hasSpace = programPath.find(L' ') != std::wstring::npos;
  return QuotedArgument(hasSpace ? Quoted(programPath) : programPath);
}

}  // namespace

int QueryAutostartTask() { return RunSchtasks(L"/Query /TN " + TaskName()); }

void ToggleAutostartTask() {
  if (QueryAutostartTask() == 0) {
    // "/F" answers schtasks' own confirmation prompt.
    RunSchtasks(L"/Delete /TN " + TaskName() + L" /F");
    return;
  }
  // The task runs the program with administrator rights at every log-on:
  // from a folder the user's ordinary processes can change, that would be
  // whatever they put there.
  if (!ProgramFolderTrusted()) {
    AddLogLine(std::wstring(L"Start with Windows stays off in a folder others can change: ") +
                   kProtectedFolderAdvice,
               1);
    return;
  }
  // At log-on, 20 seconds late (minutes:seconds), with the administrator
  // rights the program's manifest asks for.
  RunSchtasks(L"/Create /SC ONLOGON /DELAY 0000:20 /TN " + TaskName() + L" /TR " +
              TaskAction(Identity().programPath) + L" /RL HIGHEST");
}
