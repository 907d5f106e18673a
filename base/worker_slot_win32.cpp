#include <windows.h>

#include "base/win32_handles.h"
#include "base/worker_slot.h"

namespace {

UniqueHandle worker;

DWORD WINAPI RunJob(LPVOID job) {
  reinterpret_cast<WorkerJob>(job)();
  return 0;
}

}  // namespace

bool WorkerRunning() { return worker && WaitForSingleObject(worker.Get(), 0) == WAIT_TIMEOUT; }

bool WaitForWorkerEnd(unsigned milliseconds) {
  return !worker || WaitForSingleObject(worker.Get(), milliseconds) != WAIT_TIMEOUT;
}

bool StartWorker(WorkerJob job) {
  if (WorkerRunning()) return false;
  worker =
      UniqueHandle(CreateThread(nullptr, 0, RunJob, reinterpret_cast<LPVOID>(job), 0, nullptr));
  return static_cast<bool>(worker);
}
