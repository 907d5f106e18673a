#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "app/folder_access.h"

namespace {

// Rights that let the holder add, replace or remove the folder's files,
// or hand themselves such rights.
constexpr ACCESS_MASK kChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_DATA |
                                      FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                      WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

constexpr WELL_KNOWN_SID_TYPE kOrdinaryUsers[] = {WinBuiltinUsersSid, WinAuthenticatedUserSid,
                                                  WinWorldSid};

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

bool IsOrdinaryUsers(PSID sid) {
  for (WELL_KNOWN_SID_TYPE type : kOrdinaryUsers) {
    if (IsWellKnownSid(sid, type)) return true;
  }
  return false;
}

}  // namespace

bool OrdinaryUsersCanChangeFolder(const std::wstring& folder) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
  if (dacl == nullptr) return true;
  // Entries that apply only to what the folder holds count too: they are
  // the rights on the program file itself.
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(dacl, index, &entry)) continue;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    if ((allowed->Mask & kChangeRights) == 0) continue;
    if (IsOrdinaryUsers(const_cast<DWORD*>(&allowed->SidStart))) return true;
  }
  return false;
}
