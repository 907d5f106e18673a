// Where Steam, its library folders, SteamVR and the WMR driver's settings
// program are installed. Found once at start-up; only the settings program's
// path is used afterwards (OpenVRSettingsPath, base/program_state.h), the rest
// is reported in the event log.
#pragma once

#include <string>
#include <vector>

// Looks everything up afresh and logs what was found and what was not.
void DiscoverSteam();

// The Steam folder as the registry stores it; empty when it is not there.
const std::wstring& SteamPath();
// Library folders from "config.vdf" by key number, then those that only
// "steamapps\libraryfolders.vdf" names.
const std::vector<std::wstring>& SteamLibraryList();
// SteamVR's folder; empty when it was not found.
const std::wstring& SteamVRFolder();

// Whether a drive root such as "D:\" holds a volume that can be read; a
// drive without its medium does not.
bool DriveHasVolume(const std::wstring& root);
