#include "base/program_state.h"

#include <atomic>

namespace {
Settings settings;
ProgramIdentity identity;
std::wstring openVRSettingsPath;
bool programFolderTrusted = false;
}  // namespace

Settings& ProgramSettings() { return settings; }
ProgramIdentity& Identity() { return identity; }
std::uint8_t SharedFlag(std::uint8_t Settings::*flag) {
  return std::atomic_ref<std::uint8_t>(settings.*flag).load();
}

void SetSharedFlag(std::uint8_t Settings::*flag, std::uint8_t value) {
  std::atomic_ref<std::uint8_t>(settings.*flag).store(value);
}

bool& ProgramFolderTrusted() { return programFolderTrusted; }

std::wstring& OpenVRSettingsPath() { return openVRSettingsPath; }

void SaveProgramSettings() { SaveSettings(settings, identity.productVersion); }
