// Narrowing the library search to system32, under Wine's real loader: a
// library beside the program is found by a plain load until then, never
// after. The narrowing holds for the whole process, so this suite is a
// program of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/system_libraries_win32.h"

TEST(SystemLibrariesWine, PlainLoadsSearchOnlySystem32OnceNarrowed) {
  // The test library is built beside this program, as a planted one would
  // lie beside Vantrel.exe.
  HMODULE beside = LoadLibraryW(L"planted.dll");
  ASSERT_NE(beside, nullptr) << "the program's folder is searched by default";
  FreeLibrary(beside);

  ASSERT_TRUE(SearchSystemLibrariesOnly());
  EXPECT_EQ(LoadLibraryW(L"planted.dll"), nullptr);
  EXPECT_NE(LoadLibraryW(L"version.dll"), nullptr) << "system32's libraries still load";
}
