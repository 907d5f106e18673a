#include <windows.h>

#include "base/product.h"
#include "app/shutdown.h"
#include "base/shutdown.h"
#include "base/worker_slot.h"
#include "headset/config_manager.h"
#include "ui/main_window.h"
#include "ui/tray.h"
#include "ui/tray_win32.h"

void ReleaseProgram() {
  // The shell would keep showing an icon whose window is gone until the
  // pointer passes over it.
  RemoveTrayIcon();
  DestroyTrayMenu();
  DestroyMainWindow();
  DestroyTrayImages();
  // A worker that has not ended may be inside the library; the process's
  // exit ends it, and the library with it.
  if (!WorkerRunning()) UnloadConfigManager();
}

void ShowFatalErrorAndExit(const std::wstring& message) {
  const std::wstring title = std::wstring(kProductName) + L" - Error Quit";
  MessageBoxW(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
  ReleaseAndExit(1);
}
