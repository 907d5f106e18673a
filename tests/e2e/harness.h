// End-to-end harness: runs the real Vantrel.exe under Wine in a scratch
// program folder, inspects its files and windows, posts it messages, ends it
// and takes screenshots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/win32_handles.h"

namespace e2e {

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A fresh, empty program folder for the running test, with the built
// Vantrel.exe copied in under `programName`; a test's second folder has a
// `suffix` of its own.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::wstring& programName = L"Vantrel.exe",
                         const std::wstring& suffix = L"");
  const std::wstring& path() const { return path_; }
  std::wstring PathOf(const std::wstring& name) const { return path_ + L"\\" + name; }
  void AddProgramCopy(const std::wstring& programName) const;
  // A stand-in companion program (a window that waits to be closed or
  // ended) under the given executable name.
  void AddStandIn(const std::wstring& exeName) const;
  // A program that records who started it and with which link, in
  // "<name>.log" beside it (one "<parent image> <first argument>" line per
  // start); `name` may lie in a subfolder, which is made.
  void AddLaunchRecorder(const std::wstring& name) const;
  void Write(const std::wstring& name, const std::string& bytes) const;
  std::string Read(const std::wstring& name) const;
  bool Exists(const std::wstring& name) const;
  void MakeFolder(const std::wstring& name) const;
  void SetReadOnly(const std::wstring& name) const;

 private:
  std::wstring path_;
};

// A started program; terminated when the test lets go of it, if still
// running, so no test leaves a process behind.
class RunningProgram {
 public:
  RunningProgram() = default;
  RunningProgram(UniqueHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  RunningProgram(RunningProgram&&) = default;
  RunningProgram& operator=(RunningProgram&&) = default;
  ~RunningProgram();

  DWORD id() const { return id_; }
  bool IsRunning() const;
  bool WaitForExit(DWORD timeoutMs) const;
  DWORD ExitCode() const;

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// While it lives, the prefix's "steam" URL handler is the launch recorder
// `handlerName` in `folder` (Wine reads handlers from HKLM's classes only).
class SteamUrlHandler {
 public:
  SteamUrlHandler(const ProgramFolder& folder, const std::wstring& handlerName);
  ~SteamUrlHandler();
  SteamUrlHandler(const SteamUrlHandler&) = delete;
  SteamUrlHandler& operator=(const SteamUrlHandler&) = delete;
};

// Starts `programName` in `folder` (its current directory is elsewhere, to
// prove the program moves to its own folder), with `arguments` after its name.
RunningProgram Start(const ProgramFolder& folder, const std::wstring& programName = L"Vantrel.exe",
                     const std::wstring& arguments = L"");

// Programs that look like the running program without being it: a window
// titled like its main window in a process of an image named Vantrel.exe in
// another folder (with `programClass`, of the program's window class too),
// and a window of the program's class in a process of another image.
class LookAlikes {
 public:
  explicit LookAlikes(bool programClass = false);
  bool BothRunning() const;

 private:
  ProgramFolder folder_;
  RunningProgram titled_;
  RunningProgram sameClass_;
};

// The first top-level window of process `processId` whose title contains
// `titlePart`; nullptr when there is none within `timeoutMs`.
HWND WaitForWindow(DWORD processId, const std::wstring& titlePart, DWORD timeoutMs);

std::wstring WindowTitle(HWND window);

// A control anywhere below `window`, by its identifier; nullptr if none.
HWND FindControl(HWND window, int id);

// Waits until the text of the control `id` below `window` contains `part`.
bool WaitForControlText(HWND window, int id, const std::wstring& part, DWORD timeoutMs);

// The prefix's DPI for the programs started while it lives.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi);
  ~ScreenDpi();
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  DWORD previous_ = 0;
  bool hadValue_ = false;
};

// Saves the screen as artefacts\<name>.bmp in the build folder.
bool SaveScreenshot(const std::wstring& name);

}  // namespace e2e
