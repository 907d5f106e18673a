#include <windows.h>

#include "base/win32_handles.h"
#include "headset/device_discovery.h"

namespace {

DWORD WINAPI DeviceSearchThread(LPVOID) { RunDeviceSearch(); }

}  // namespace

void StartDeviceSearch() {
  // Nobody waits for this thread: it ends with the process.
  UniqueHandle thread(CreateThread(nullptr, 0, DeviceSearchThread, nullptr, 0, nullptr));
}
