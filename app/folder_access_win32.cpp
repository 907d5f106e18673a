#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "app/folder_access.h"

namespace {

// Rights on the folder that let the holder put code there, swap or rename
// what is there, move the folder away, or hand themselves such rights.
constexpr ACCESS_MASK kFolderChangeRights =
    FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
// The same for a file of code: change its bytes, or remove or rename it so
// another can take its name.
constexpr ACCESS_MASK kFileChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC | WRITE_OWNER;
// On each folder above: delete-child there, or delete on the folder itself,
// renames the folder on the way away, with everything below it, and puts
// another in its place; write-DAC and write-owner (the owner always has the
// first) hand out those rights.
constexpr ACCESS_MASK kAncestorChangeRights = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};
using LocalDescriptor = std::unique_ptr<void, LocalFreeDeleter>;

// AccessCheck with MAXIMUM_ALLOWED answers every right the descriptor
// grants the token, the owner's implied READ_CONTROL and WRITE_DAC included
// (learn.microsoft.com, "AccessCheck function" and "How DACLs Control Access
// to an Object"). A descriptor it cannot judge counts as granting all.
bool GrantsAnyOf(HANDLE token, PSECURITY_DESCRIPTOR descriptor, ACCESS_MASK rights) {
  GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                             FILE_ALL_ACCESS};
  PRIVILEGE_SET privileges{};
  DWORD privilegesSize = sizeof(privileges);
  DWORD granted = 0;
  BOOL allowed = FALSE;
  if (!AccessCheck(descriptor, token, MAXIMUM_ALLOWED, &mapping, &privileges, &privilegesSize,
                   &granted, &allowed)) {
    return true;
  }
  return allowed && (granted & rights) != 0;
}

// AccessCheck needs the owner and the group beside the list.
LocalDescriptor DescriptorOf(const std::wstring& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const SECURITY_INFORMATION parts =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, parts, nullptr, nullptr, nullptr, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    return nullptr;
  }
  return LocalDescriptor(descriptor);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsLinkOrJunction(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A drive's root is named with its backslash: "C:" alone is the current
// folder on that drive.
std::wstring FolderName(const std::wstring& folder) {
  return folder.find(L'\\') == std::wstring::npos ? folder + L"\\" : folder;
}

// A program started by its "\\?\C:\..." name is reported by that name; its
// folders are those of the drive path ("\\?\C:" would name the volume, not
// its root folder). A share's "\\?\UNC\" form stays, and is then judged
// changeable, as a share's folders above cannot be read.
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
  const bool drivePath = path.size() >= 7 && path.compare(0, 4, L"\\\\?\\") == 0 &&
                         path[5] == L':' && path[6] == L'\\';
  return drivePath ? path.substr(4) : path;
}

// The folders above `folder`, nearest first, up to the drive's root.
std::vector<std::wstring> FoldersAbove(const std::wstring& folder) {
  std::vector<std::wstring> above;
  for (std::wstring next = FolderOf(folder); !next.empty(); next = FolderOf(next)) {
    above.push_back(FolderName(next));
  }
  return above;
}

// Administrators made deny-only: that is how Windows' filtered token of an
// administrator already holds the group, while Wine 8's linked token and the
// only token with UAC off have it enabled. The answer is then what a process
// of this user that is not elevated may do. The restriction failing leaves
// the token as Windows gave it.
UniqueHandle WithoutAdministrators(HANDLE token) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof(sid);
  HANDLE restricted = nullptr;
  if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize)) {
    SID_AND_ATTRIBUTES disabled = {sid, 0};
    CreateRestrictedToken(token, 0, 1, &disabled, 0, nullptr, 0, nullptr, &restricted);
  }
  return UniqueHandle(restricted);
}

// AccessCheck takes an impersonation token; an identification-level copy
// works even from the linked token Windows hands out at that level.
UniqueHandle ForAccessCheck(HANDLE token) {
  const UniqueHandle restricted = WithoutAdministrators(token);
  HANDLE copy = nullptr;
  if (!DuplicateTokenEx(restricted ? restricted.Get() : token, TOKEN_QUERY, nullptr,
                        SecurityIdentification, TokenImpersonation, &copy)) {
    return UniqueHandle();
  }
  return UniqueHandle(copy);
}

bool AnyCanChange(const std::vector<UniqueHandle>& tokens,
                  const ProgramFolderDescriptors& descriptors) {
  for (const UniqueHandle& token : tokens) {
    if (token && TokenCanChangeProgram(token.Get(), descriptors)) return true;
  }
  return false;
}

// The token of the desktop's user, from its shell's process, who may not be
// the user whose rights the program runs with. No handle when it cannot be
// read.
UniqueHandle DesktopUserToken(DWORD shellProcessId) {
  const UniqueHandle shellProcess(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcessId));
  HANDLE token = nullptr;
  if (!shellProcess ||
      !OpenProcessToken(shellProcess.Get(), TOKEN_QUERY | TOKEN_DUPLICATE, &token)) {
    return UniqueHandle();
  }
  const UniqueHandle shellToken(token);
  return ForAccessCheck(token);
}

}  // namespace

UniqueHandle UserLevelToken() {
  HANDLE own = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &own)) {
    return UniqueHandle();
  }
  const UniqueHandle ownToken(own);
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!GetTokenInformation(own, TokenElevationType, &type, sizeof(type), &size)) {
    return UniqueHandle();
  }
  if (type == TokenElevationTypeFull) {
    TOKEN_LINKED_TOKEN linked{};
    if (!GetTokenInformation(own, TokenLinkedToken, &linked, sizeof(linked), &size)) {
      return UniqueHandle();
    }
    const UniqueHandle linkedToken(linked.LinkedToken);
    return ForAccessCheck(linked.LinkedToken);
  }
  // Limited: the token is already the user's ordinary one. Default: UAC is
  // off, and the user's other processes run with this same token.
  return ForAccessCheck(own);
}

bool TokenCanChangeProgram(HANDLE token, const ProgramFolderDescriptors& descriptors) {
  if (GrantsAnyOf(token, descriptors.folder, kFolderChangeRights)) return true;
  for (PSECURITY_DESCRIPTOR file : descriptors.files) {
    if (GrantsAnyOf(token, file, kFileChangeRights)) return true;
  }
  for (PSECURITY_DESCRIPTOR ancestor : descriptors.ancestors) {
    if (GrantsAnyOf(token, ancestor, kAncestorChangeRights)) return true;
  }
  return false;
}

bool UserCanChangeProgram(const std::wstring& startedPath) {
  const std::wstring programPath = WithoutLongPathPrefix(startedPath);
  std::vector<UniqueHandle> tokens;
  tokens.push_back(UserLevelToken());
  if (!tokens.front()) return true;
  // Another user's Explorer (an administrator's password typed into a
  // standard user's prompt) may refuse its token: that user cannot be
  // judged, so nothing shows the folder to be safe from them.
  DWORD shellProcessId = 0;
  if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &shellProcessId);
  if (shellProcessId != 0) {
    tokens.push_back(DesktopUserToken(shellProcessId));
    if (!tokens.back()) return true;
  }
  const std::wstring folder = FolderOf(programPath);
  std::vector<LocalDescriptor> owned;
  ProgramFolderDescriptors descriptors;
  auto take = [&](const std::wstring& path) {
    owned.push_back(DescriptorOf(path));
    return owned.back().get();
  };
  descriptors.folder = take(FolderName(folder));
  if (!descriptors.folder || IsLinkOrJunction(FolderName(folder))) return true;
  std::vector<std::wstring> files = {programPath};
  for (const wchar_t* name : kShippedCodeFiles) files.push_back(folder + L"\\" + name);
  for (const std::wstring& file : files) {
    if (!Exists(file)) continue;
    descriptors.files.push_back(take(file));
    if (!descriptors.files.back()) return true;
  }
  for (const std::wstring& above : FoldersAbove(folder)) {
    if (IsLinkOrJunction(above)) return true;
    descriptors.ancestors.push_back(take(above));
    if (!descriptors.ancestors.back()) return true;
  }
  return AnyCanChange(tokens, descriptors);
}
