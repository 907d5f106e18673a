// The rule for a program folder that others can change, judged by Windows'
// own AccessCheck against crafted security descriptors: Wine keeps no list a
// program sets on a real folder, so only crafted ones show a protected
// folder.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/folder_access.h"

namespace {

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

std::wstring UserSid(HANDLE token) {
  BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size)) return L"";
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) return L"";
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

class FolderAccessRule : public ::testing::Test {
 protected:
  void SetUp() override {
    token = UserLevelToken();
    ASSERT_TRUE(token);
    user = UserSid(token.Get());
    ASSERT_FALSE(user.empty());
  }

  // "$U" in the text stands for the user's SID.
  PSECURITY_DESCRIPTOR Descriptor(std::wstring sddl) {
    for (size_t at; (at = sddl.find(L"$U")) != std::wstring::npos;) sddl.replace(at, 2, user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr))
        << sddl.c_str();
    made.emplace_back(descriptor);
    return descriptor;
  }

  // `above` holds the folders above, nearest first.
  bool CanChange(const std::wstring& folder, const std::vector<std::wstring>& files,
                 const std::vector<std::wstring>& above) {
    ProgramFolderDescriptors descriptors{Descriptor(folder), {}, {}};
    for (const std::wstring& file : files) descriptors.files.push_back(Descriptor(file));
    for (const std::wstring& ancestor : above)
      descriptors.ancestors.push_back(Descriptor(ancestor));
    return TokenCanChangeProgram(token.Get(), descriptors);
  }

  UniqueHandle token;
  std::wstring user;
  std::vector<std::unique_ptr<void, LocalFreeDeleter>> made;
};

// As under Program Files: administrators and the system change it, users
// read and run it.
constexpr wchar_t kProtected[] = L"O:BAG:SYD:(A;;FA;;;BA)(A;;FA;;;SY)(A;;FRFX;;;BU)";

TEST_F(FolderAccessRule, OnlyAdministratorsCanChangeIsProtected) {
  EXPECT_FALSE(CanChange(kProtected, {kProtected, kProtected}, {kProtected, kProtected}));
  // Adding a subfolder to a folder above does not reach the program.
  EXPECT_FALSE(CanChange(kProtected, {kProtected},
                         {kProtected, std::wstring(kProtected) + L"(A;;0x4;;;$U)"}));
}

TEST_F(FolderAccessRule, EachWayOfTheUserIntoTheFolderCounts) {
  // Unpacked into the user's own folder: the owner may rewrite the list.
  const std::wstring owned = L"O:$UG:SYD:(A;;FA;;;BA)(A;;FRFX;;;$U)";
  EXPECT_TRUE(CanChange(owned, {kProtected}, {kProtected}));
  EXPECT_TRUE(CanChange(std::wstring(kProtected) + L"(A;;FW;;;$U)", {kProtected}, {kProtected}));
  EXPECT_TRUE(CanChange(std::wstring(kProtected) + L"(A;;SD;;;BU)", {}, {kProtected}));
  // A writable program file in a protected folder.
  EXPECT_TRUE(CanChange(kProtected, {kProtected, std::wstring(kProtected) + L"(A;;FW;;;BU)"},
                        {kProtected}));
  // Delete-child above renames the folder away, whatever its own list says;
  // a folder higher up that the user owns or may delete takes the whole tree.
  EXPECT_TRUE(CanChange(kProtected, {kProtected}, {std::wstring(kProtected) + L"(A;;0x40;;;$U)"}));
  EXPECT_TRUE(CanChange(kProtected, {kProtected}, {kProtected, owned}));
  EXPECT_TRUE(CanChange(kProtected, {kProtected},
                        {kProtected, std::wstring(kProtected) + L"(A;;SD;;;$U)"}));
}

}  // namespace
