#include "autostart/autostart.h"

#include "base/product.h"
#include "base/program_state.h"

namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring TaskName() { return Quoted(kProductName); }

}  // namespace

int QueryAutostartTask() { return RunSchtasks(L"/Query /TN " + TaskName()); }

void ToggleAutostartTask() {
  if (QueryAutostartTask() == 0) {
    // "/F" answers schtasks' own confirmation prompt.
    RunSchtasks(L"/Delete /TN " + TaskName() + L" /F");
    return;
  }
  // At log-on, 20 seconds late (minutes:seconds), with the administrator
  // rights the program's manifest asks for.
  RunSchtasks(L"/Create /SC ONLOGON /DELAY 0000:20 /TN " + TaskName() + L" /TR " +
              Quoted(Identity().programPath) + L" /RL HIGHEST");
}
