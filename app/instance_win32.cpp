#include <windows.h>

#include <vector>

#include "app/instance.h"
#include "base/win32_handles.h"

namespace {
// Held until the process ends: the semaphore's existence is what tells a
// later copy that this one runs.
std::vector<UniqueHandle> heldSemaphores;
}  // namespace

bool CreateInstanceSemaphore(const std::wstring& name) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, name.c_str());
  const bool existed = semaphore != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  if (semaphore) heldSemaphores.emplace_back(semaphore);
  return existed;
}
