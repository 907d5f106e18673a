// The settings file's replacement against other processes that open it: a
// scanner or an editor reading it must not make a save go missing.
#include "base/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "base/win32_handles.h"

namespace {

std::wstring ScratchFile() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"vantrel-files-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
}

}  // namespace

TEST(FilesWine, ReplaceWaitsOutAReaderThatHoldsTheFileBriefly) {
  const std::wstring path = ScratchFile();
  ASSERT_TRUE(ReplaceFileContents(path, "old"));
  // Readers that do not share deletion (most programs) block a rename over
  // the file for as long as they hold it open.
  UniqueHandle reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(reader);
  std::thread release([&] {
    Sleep(300);
    reader.Reset();
  });
  const bool saved = ReplaceFileContents(path, "new");
  release.join();
  std::string bytes;
  EXPECT_TRUE(saved);
  EXPECT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new");
  DeleteFileW(path.c_str());
}

// A folder in the file's place (or, on Windows, a read-only file) refuses
// the rename for good; the caller, the window's thread, must not wait a
// second for it on every change.
TEST(FilesWine, ReplaceRefusedForGoodFailsAtOnce) {
  const std::wstring path = ScratchFile();
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(ReplaceFileContents(path, "new"));
  EXPECT_LT(GetTickCount64() - start, 300u);
  EXPECT_TRUE(IsDirectory(path));
  EXPECT_EQ(GetFileAttributesW((path + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(RemoveEmptyDirectory(path));
}
