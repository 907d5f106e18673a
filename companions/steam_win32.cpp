#include <windows.h>

#include "companions/steam.h"

bool DriveHasVolume(const std::wstring& root) {
  // A drive without its medium would otherwise make Windows ask the user to
  // insert a disk; the error should just come back to the caller.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
  const BOOL ready =
      GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
  SetThreadErrorMode(previousMode, nullptr);
  return ready != FALSE;
}
