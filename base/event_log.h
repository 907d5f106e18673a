// The event log: time-stamped lines about what the program found and did,
// kept in memory and shown on the "Log Window" page.
#pragma once

#include <cstddef>
#include <string>

// Appends "hh:mm:ss:" + marker (" " or "!" for an error) + message + CR,
// unless the message repeats the most recent one. Safe from any thread.
void AddLogLine(const std::wstring& message, int errorFlag);

// All entries so far, oldest first.
std::wstring LogText();
// The log from character `offset` on: what a view showing `offset`
// characters has not shown yet.
std::wstring LogTextFrom(std::size_t offset);

// The text the most recent entry is compared by: for a message without ":"
// exactly that message.
std::wstring LastEntryText(const std::wstring& logText);

// Told, under the log's lock, that the text has grown; must never block.
void LogChanged();
