// Other programs: find a running process by executable name, end one by id,
// and find a top-level window by part of its title.
#pragma once

#include <cstdint>
#include <string>

using ProcessId = std::uint32_t;
// An opaque top-level window handle; 0 means none.
using WindowHandle = std::uintptr_t;

// First running process whose executable file name equals `exeName`,
// ignoring case; 0 when none runs.
ProcessId FindProcessId(const std::wstring& exeName);

// Like FindProcessId, but skips the process `excluded`.
ProcessId FindOtherProcessId(const std::wstring& exeName, ProcessId excluded);

// 1 when the process was terminated, 0 otherwise (also for id 0).
int TerminateProcessById(ProcessId id);

// First top-level window in Z order whose title contains `text`, ignoring
// case; hidden and untitled windows included. 0 when none.
WindowHandle FindWindowByTitlePart(const std::wstring& text);

// Posts WM_CLOSE with the given wParam and an lParam of 0.
bool PostCloseMessage(WindowHandle window, std::uintptr_t wParam);

ProcessId CurrentProcessId();
