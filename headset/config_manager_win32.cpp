#include <windows.h>

#include "app/win32_handles.h"
#include "headset/config_manager.h"

namespace {
UniqueModule configManager;
}  // namespace

bool LoadConfigManager() {
  if (!configManager) configManager = UniqueModule(LoadLibraryW(L"cfgmgr32.dll"));
  return static_cast<bool>(configManager);
}

void UnloadConfigManager() { configManager.Reset(); }
