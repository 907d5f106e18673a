// The Windows configuration manager library ("cfgmgr32.dll"), loaded once at
// start-up and released at exit after the headset worker has finished.
#pragma once

// False when the library cannot be loaded; the program cannot work without it.
bool LoadConfigManager();
void UnloadConfigManager();
