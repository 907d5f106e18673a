#include "base/shutdown.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<void (*)()> releaseBeforeExit{nullptr};

}  // namespace

void SetReleaseBeforeExit(void (*release)()) { releaseBeforeExit = release; }

void ReleaseAndExit(int exitCode) {
  if (void (*release)() = releaseBeforeExit.load()) release();
  ExitProcess(static_cast<UINT>(exitCode));
}
