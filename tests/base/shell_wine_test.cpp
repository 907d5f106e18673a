// What the shell open tells apart before the desktop's shell sees anything:
// a link nothing handles and a file that is not there are "nothing to
// open", which lets a caller try its other page, while a refusal would not.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/shell.h"

TEST(ShellWine, WhatCannotBeOpenedIsToldApartFromARefusal) {
  EXPECT_EQ(OpenShellLink(L"vantrel-test-unhandled:page"), ShellOpen::kNothingToOpen);
  EXPECT_EQ(OpenShellLink(L"C:\\no such folder\\program.exe"), ShellOpen::kNothingToOpen);
  // The shell would look for a relative name in its own folder, not here.
  HANDLE file =
      CreateFileW(L"relative-program.exe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(OpenShellLink(L"relative-program.exe"), ShellOpen::kNothingToOpen);
  DeleteFileW(L"relative-program.exe");
}
