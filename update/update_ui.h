// The update check's windows: its message box and the change-log dialog.
#pragma once

#include <string>

// An information box with an OK button, owned by the main window if any.
void ShowUpdateCheckMessage(const std::wstring& title, const std::wstring& text);

// Shows the change log in a modal tool window titled `title` until one of
// its three labels is clicked: 1 "Update", -1 "Skip", 0 "Chancel"; 0 also
// when the window cannot be opened.
int RunChangeLogWindow(const std::wstring& title, const std::wstring& changeLog);

// Waits up to `timeoutMs` for messages and hands each to its window, so the
// program's windows keep answering while the update waits for something.
void AnswerMessagesFor(unsigned timeoutMs);
