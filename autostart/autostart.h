// Starting with Windows: a Task Scheduler task that runs the program at
// log-on, created, queried and deleted with the system's "schtasks". The task
// itself is the state; nothing else remembers whether it is on.
#pragma once

#include <string>

// The query's exit code: 0 when the task exists; any other value when it
// does not, the query failed or "schtasks" could not be started.
int QueryAutostartTask();

// Deletes the task when the query finds it and creates it for the running
// program otherwise, unless the program's folder is not trusted, which is
// logged instead. Whether that worked shows only in the next query.
void ToggleAutostartTask();

// Machine seam: runs "schtasks" with the parameter text, hidden, and waits
// for its end. Its exit code, or kSchtasksNotStarted.
inline constexpr int kSchtasksNotStarted = -1;
int RunSchtasks(const std::wstring& parameters);
