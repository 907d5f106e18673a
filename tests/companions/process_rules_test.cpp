#include "companions/process_rules.h"

#include <gtest/gtest.h>

TEST(ExecutableNameMatches, IgnoresAsciiCaseOnBothSides) {
  EXPECT_TRUE(ExecutableNameMatches(L"vrmonitor.exe", L"vrmonitor.exe"));
  EXPECT_TRUE(ExecutableNameMatches(L"vrmonitor.exe", L"VRMONITOR.EXE"));
  EXPECT_TRUE(ExecutableNameMatches(L"Steam.EXE", L"steam.exe"));
  EXPECT_FALSE(ExecutableNameMatches(L"vrmonitor.exe", L"vrmonitor"));
  EXPECT_FALSE(ExecutableNameMatches(L"vrmonitor.exe", L"vrmonitor.exe "));
  EXPECT_FALSE(ExecutableNameMatches(L"vrmonitor.exe", L"steam.exe"));
}

TEST(ExecutableNameMatches, EmptyNameMatchesNothing) {
  // A process that is still starting can be listed without a name.
  EXPECT_FALSE(ExecutableNameMatches(L"", L""));
  EXPECT_FALSE(ExecutableNameMatches(L"C:\\Steam\\", L""));
  EXPECT_FALSE(ExecutableNameMatches(L"steam.exe", L""));
  EXPECT_FALSE(ExecutableNameMatches(L"", L"steam.exe"));
}

TEST(ExecutableNameMatches, CutsOnlyTheEntrySideToItsFileName) {
  EXPECT_TRUE(ExecutableNameMatches(L"C:\\Program Files (x86)\\Steam\\steam.exe", L"STEAM.EXE"));
  EXPECT_TRUE(ExecutableNameMatches(L"/opt/steam/Steam.exe", L"steam.exe"));
  EXPECT_TRUE(ExecutableNameMatches(L"C:/a\\b/vrmonitor.exe", L"vrmonitor.exe"));
  // A wanted full path never matches, not even the very same path.
  EXPECT_FALSE(ExecutableNameMatches(L"steam.exe", L"C:\\Program Files (x86)\\Steam\\steam.exe"));
  EXPECT_FALSE(ExecutableNameMatches(L"C:\\Steam\\steam.exe", L"C:\\Steam\\steam.exe"));
  EXPECT_FALSE(ExecutableNameMatches(L"C:\\Steam\\steam.exe", L"Steam\\steam.exe"));
  // A folder named like the program is not the program.
  EXPECT_FALSE(ExecutableNameMatches(L"C:\\steam.exe\\other.exe", L"steam.exe"));
}

TEST(TitleContainsPart, FindsCaseInsensitiveSubstring) {
  const std::wstring title = L"Vantrel - V0.1 Alpha (2026.12.8.1) ";
  EXPECT_TRUE(TitleContainsPart(title, L"vantrel - v"));
  EXPECT_TRUE(TitleContainsPart(title, L"VANTREL - V"));
  EXPECT_TRUE(TitleContainsPart(title, L"alpha (2026"));
  EXPECT_TRUE(TitleContainsPart(title, title));
  EXPECT_FALSE(TitleContainsPart(title, L"vantrel - v0.2"));
  EXPECT_FALSE(TitleContainsPart(title, L"Vantrel-V"));
  EXPECT_FALSE(TitleContainsPart(L"Vantrel", L"Vantrel - V"));
  EXPECT_FALSE(TitleContainsPart(L"", L"Vantrel"));
}

TEST(TitleContainsPart, EmptyPartMatchesNoWindow) {
  EXPECT_FALSE(TitleContainsPart(L"Vantrel - V0.1", L""));
  EXPECT_FALSE(TitleContainsPart(L"", L""));
}
