// The named semaphore that marks a running copy of the program.
#pragma once

#include <string>

// Creates (or opens) the semaphore and keeps it open for the life of the
// process. True when the call succeeded and the semaphore already existed.
bool CreateInstanceSemaphore(const std::wstring& name);
