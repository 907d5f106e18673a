// Starting another program: "schtasks", "tar", the updater, and the program
// itself once an update is in place.
#pragma once

#include <string>

inline constexpr unsigned kNoWaitLimit = 0xFFFFFFFF;

struct RunOptions {
  bool hidden = false;
  bool wait = false;
  // Standard input that is at its end from the start, so a question the
  // program asks is answered at once with nothing instead of waiting.
  bool emptyInput = false;
  // A waited-for program still running after this long is ended.
  unsigned waitLimitMs = kNoWaitLimit;
};

inline constexpr int kProgramNotStarted = -1;
inline constexpr int kProgramEnded = -2;

// Runs `program` (a name found through the search path, or a full path) with
// the command line made of its name in double quotes, then a space and the
// parameter text unless that is empty. Waited for: its exit code, or
// kProgramEnded when it outlasted the wait limit; not waited for: 0 once it
// runs. kProgramNotStarted when it could not be started.
// Without a working folder it runs in the current directory.
int RunProgram(const std::wstring& program, const std::wstring& parameters, RunOptions options,
               const std::wstring& workingFolder = {});

// The full path of a program in the system folder, such as
// "C:\Windows\System32\tar.exe". The elevated program runs the system's
// tools by this path: through the search path, a copy in the program's or
// the current folder, or in a folder the user put on PATH, would run instead.
std::wstring SystemProgramPath(const std::wstring& fileName);
