// Version resources read through version.dll from small executables whose
// resources were written for these cases.
#include "update/version_info.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win32_handles.h"

namespace {

std::wstring BesideThisTest(const std::wstring& name) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring own(path, length);
  return own.substr(0, own.find_last_of(L'\\') + 1) + name;
}

}  // namespace

TEST(VersionInfoWine, ReadsTheNamedLanguageBlockAndTrimsIt) {
  const std::wstring path = BesideThisTest(L"version_neutral.exe");
  EXPECT_EQ(ReadFileVersion(path), L"2021.3.2.76");
  EXPECT_EQ(ReadProductVersion(path), L"V0.6 Alpha");
}

TEST(VersionInfoWine, FallsBackToUsEnglishBlockWhenNamedBlockLacksProductVersion) {
  const std::wstring path = BesideThisTest(L"version_fallback.exe");
  EXPECT_EQ(ReadFileVersion(path), L"65535.0.65535.1");
  EXPECT_EQ(ReadProductVersion(path), L"V2.0 Fallback");
}

TEST(VersionInfoWine, FileWithoutVersionResourceReadsEmpty) {
  const std::wstring path = BesideThisTest(L"version_none.exe");
  ASSERT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileVersion(path), L"");
  EXPECT_EQ(ReadProductVersion(path), L"");
}

TEST(VersionInfoWine, MissingOrNonExecutableFileReadsEmpty) {
  const std::wstring missing = BesideThisTest(L"no-such-file.exe");
  EXPECT_EQ(ReadFileVersion(missing), L"");
  EXPECT_EQ(ReadProductVersion(missing), L"");
  EXPECT_EQ(ReadFileVersion(L""), L"");
  EXPECT_EQ(ReadProductVersion(L""), L"");

  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring text =
      std::wstring(folder) + L"vantrel-version-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  {
    UniqueHandle file(
        CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), "MZ not really a program", 23, &written, nullptr));
  }
  EXPECT_EQ(ReadFileVersion(text), L"");
  EXPECT_EQ(ReadProductVersion(text), L"");
  DeleteFileW(text.c_str());
}
