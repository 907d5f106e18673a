#include "base/text.h"
#include "autostart/autostart.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {
namespace {
SimScheduler& Scheduler() { return State().scheduler; }
}  // namespace

const std::vector<std::wstring>& SchtasksRuns() { return Scheduler().runs; }

void PutScheduledTask(const std::wstring& name, const std::wstring& program) {
  Scheduler().tasks[ToLowerAscii(name)] = program;
}

bool HasScheduledTask(const std::wstring& name) {
  return Scheduler().tasks.count(ToLowerAscii(name)) != 0;
}

std::wstring ScheduledTaskProgram(const std::wstring& name) {
  auto found = Scheduler().tasks.find(ToLowerAscii(name));
  return found == Scheduler().tasks.end() ? std::wstring() : found->second;
}

void DenyTaskChanges() { Scheduler().denyChanges = true; }
void FailSchtasksStart() { Scheduler().cannotStart = true; }

}  // namespace sim

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;

// Split the way a program's startup code splits its command line
// (CommandLineToArgvW): blanks separate, double quotes group and are
// dropped, and backslashes escape only a quote: 2n of them before a quote
// give n, 2n + 1 give n and a literal quote.
std::vector<std::wstring> Arguments(const std::wstring& text) {
  std::vector<std::wstring> arguments;
  std::wstring current;
  bool quoted = false;
  bool inArgument = false;
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      inArgument = true;
      continue;
    }
    if (c == L'"') {
      current.append(backslashes / 2, L'\\');
      if (backslashes % 2 == 1) {
        current += c;
      } else {
        quoted = !quoted;
      }
      backslashes = 0;
      inArgument = true;
      continue;
    }
    current.append(backslashes, L'\\');
    backslashes = 0;
    if ((c == L' ' || c == L'\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  current.append(backslashes, L'\\');
  if (inArgument) arguments.push_back(current);
  return arguments;
}

// The program a task's action runs: the action is a command line, whose
// program is the quoted text at its start or else everything up to the
// first blank.
std::wstring ActionProgram(const std::wstring& action) {
  if (action.starts_with(L'"')) return action.substr(1, action.find(L'"', 1) - 1);
  return action.substr(0, action.find_first_of(L" \t"));
}

// The value after `option`, or empty; `present` tells whether it was there.
std::wstring OptionValue(const std::vector<std::wstring>& arguments, const std::wstring& option,
                         bool* present = nullptr) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (ToUpperAscii(arguments[i]) != option) continue;
    if (present) *present = true;
    return i + 1 < arguments.size() ? arguments[i + 1] : std::wstring();
  }
  if (present) *present = false;
  return std::wstring();
}

}  // namespace

int RunSchtasks(const std::wstring& parameters) {
  const sim::MachineCall call;
  sim::SimScheduler& scheduler = sim::State().scheduler;
  if (scheduler.cannotStart) return kSchtasksNotStarted;
  scheduler.runs.push_back(parameters);
  const std::vector<std::wstring> arguments = Arguments(parameters);
  if (arguments.empty()) return kFailed;
  const std::wstring operation = ToUpperAscii(arguments[0]);
  const std::wstring name = ToLowerAscii(OptionValue(arguments, L"/TN"));
  const bool exists = !name.empty() && scheduler.tasks.count(name) != 0;
  bool force = false;
  OptionValue(arguments, L"/F", &force);
  if (operation == L"/QUERY") return exists ? kDone : kFailed;
  if (scheduler.denyChanges || name.empty()) return kFailed;
  if (operation == L"/DELETE") {
    // Without /F schtasks asks for a confirmation nobody gives.
    if (!exists || !force) return kFailed;
    scheduler.tasks.erase(name);
    return kDone;
  }
  if (operation == L"/CREATE") {
    if (exists && !force) return kFailed;
    scheduler.tasks[name] = ActionProgram(OptionValue(arguments, L"/TR"));
    return kDone;
  }
  return kFailed;
}
