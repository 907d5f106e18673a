// Replacements and renames against other processes that open the file: a
// scanner or an editor reading it must not make a save or an update fail.
#include "base/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "base/win32_handles.h"

namespace {

std::wstring ScratchFile() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"vantrel-files-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
}

// Opens `path` as most programs read a file, without sharing deletion,
// which blocks renaming the file and renaming another over it until the
// handle is closed, 300 ms later.
std::thread HoldBriefly(const std::wstring& path) {
  UniqueHandle reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader);
  return std::thread([reader = std::move(reader)]() mutable {
    Sleep(300);
    reader.Reset();
  });
}

}  // namespace

TEST(FilesWine, ReplaceWaitsOutAReaderThatHoldsTheFileBriefly) {
  const std::wstring path = ScratchFile();
  ASSERT_TRUE(ReplaceFileContents(path, "old"));
  std::thread release = HoldBriefly(path);
  const bool saved = ReplaceFileContents(path, "new");
  release.join();
  std::string bytes;
  EXPECT_TRUE(saved);
  EXPECT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_EQ(bytes, "new");
  DeleteFileW(path.c_str());
}

// The updater's renames of the program's files: a scanner looking at a file
// the moment it is moved (the program just extracted, the old one moving
// back) must not leave the folder without its program.
TEST(FilesWine, RenameWaitsOutAReaderThatHoldsTheFileBriefly) {
  const std::wstring path = ScratchFile();
  const std::wstring moved = path + L".old";
  ASSERT_TRUE(ReplaceFileContents(path, "program"));
  std::thread release = HoldBriefly(path);
  const bool renamed = RenameWithoutReplacing(path, moved);
  release.join();
  std::string bytes;
  EXPECT_TRUE(renamed);
  EXPECT_TRUE(ReadWholeFile(moved, bytes));
  EXPECT_EQ(bytes, "program");
  DeleteFileW(path.c_str());
  DeleteFileW(moved.c_str());
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
