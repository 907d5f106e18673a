#include "base/program_state.h"

namespace {
Settings settings;
ProgramIdentity identity;
std::wstring openVRSettingsPath;
}  // namespace

Settings& ProgramSettings() { return settings; }
ProgramIdentity& Identity() { return identity; }
std::wstring& OpenVRSettingsPath() { return openVRSettingsPath; }

void SaveProgramSettings() { SaveSettings(settings, identity.productVersion); }
