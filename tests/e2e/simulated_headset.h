// A headset for the end-to-end program: the test-only configuration manager
// library keeps the two device nodes' states in the prefix's registry, and
// the device enumeration keys name the two interfaces.
#pragma once

#include <windows.h>

#include <string>

#include "e2e_paths.h"

namespace e2e {

inline constexpr wchar_t kSimulatedNodesKey[] = L"Software\\VantrelTest\\DeviceNodes";
inline constexpr wchar_t kSimulatedHeadsetTestKey[] = L"Software\\VantrelTest";
inline constexpr wchar_t kEnumUsbKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB";
inline constexpr wchar_t kSensorsNode[] = L"USB\\VID_045E&PID_0659&MI_03\\7&1A2B&0&0003";
inline constexpr wchar_t kHeadsetNode[] = L"USB\\VID_045E&PID_0659&MI_04\\7&1A2B&0&0004";
inline constexpr DWORD kNodeRunning = 0;
inline constexpr DWORD kNodeDisabled = 22;

inline void SetNode(const wchar_t* id, DWORD problem) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSimulatedNodesKey, id, REG_DWORD, &problem, sizeof(problem));
}

inline void Unplug(const wchar_t* id) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kSimulatedNodesKey, id);
}

inline void PutFriendlyName(const wchar_t* id, const wchar_t* name) {
  const std::wstring key = std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\") + id;
  const DWORD bytes = static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t));
  RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"FriendlyName", REG_SZ, name, bytes);
}

// Test libraries are built beside the stand-in program.
inline std::wstring TestLibrary(const wchar_t* fileName) {
  const std::wstring standIn = kStandInProgram;
  return standIn.substr(0, standIn.find_last_of(L'\\') + 1) + fileName;
}

inline std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = L"";
  GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

// Wine takes a library file over its own builtin only when told to; the
// override is kept per program name so other tests keep Wine's own library.
inline std::wstring OverrideKeyFor(const std::wstring& programName) {
  return L"Software\\Wine\\AppDefaults\\" + programName + L"\\DllOverrides";
}

inline void PreferNativeLibrary(const std::wstring& programName, const wchar_t* library) {
  RegSetKeyValueW(HKEY_CURRENT_USER, OverrideKeyFor(programName).c_str(), library, REG_SZ,
                  L"native,builtin", sizeof(L"native,builtin"));
}

// The program loads the configuration manager from system32 only, so the
// test library takes the place of the file there, as Windows' own would be.
inline bool UseFakeConfigManager(const std::wstring& programName) {
  PreferNativeLibrary(programName, L"cfgmgr32");
  return CopyFileW(TestLibrary(L"cfgmgr32.dll").c_str(),
                   (SystemFolder() + L"\\cfgmgr32.dll").c_str(), FALSE);
}

// Takes the headset, its enumeration keys and the override away again.
inline void RemoveSimulatedHeadset(const std::wstring& programName) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kEnumUsbKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSimulatedHeadsetTestKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, OverrideKeyFor(programName).c_str());
}

}  // namespace e2e
