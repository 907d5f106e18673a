#include "companions/processes.h"

#include "companions/process_rules.h"

ProcessId FindInProcessList(const ProcessList& list, const std::wstring& exeName,
                            ProcessId excluded) {
  for (const ProcessEntry& entry : list.entries) {
    if (entry.id != excluded && ExecutableNameMatches(entry.exeFile, exeName)) return entry.id;
  }
  return 0;
}

ProcessId FindProcessId(const std::wstring& exeName) {
  return FindInProcessList(TakeProcessList(), exeName);
}

ProcessId FindOtherProcessId(const std::wstring& exeName, ProcessId excluded) {
  return FindInProcessList(TakeProcessList(), exeName, excluded);
}
