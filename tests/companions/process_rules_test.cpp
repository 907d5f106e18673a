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

TEST(ImageIs, BareNameTakesThatFileFromAnyFolder) {
  EXPECT_TRUE(ImageIs(L"C:\\x\\Vantrel.exe", L"Vantrel.exe"));
  EXPECT_TRUE(ImageIs(L"D:\\Other Folder\\VANTREL.EXE", L"vantrel.exe"));
  EXPECT_FALSE(ImageIs(L"C:\\x\\Vantrel.exe.old", L"Vantrel.exe"));
  EXPECT_FALSE(ImageIs(L"C:\\x\\notVantrel.exe", L"Vantrel.exe"));
  EXPECT_FALSE(ImageIs(L"C:\\Vantrel.exe\\other.exe", L"Vantrel.exe"));
  EXPECT_FALSE(ImageIs(L"", L"Vantrel.exe")) << "an image that cannot be read";
}

TEST(ImageIs, PathTakesOnlyThatFile) {
  const std::wstring program = L"C:\\Program Files\\Vantrel\\Vantrel.exe";
  EXPECT_TRUE(ImageIs(program, program));
  EXPECT_TRUE(ImageIs(L"c:\\PROGRAM FILES\\vantrel\\vantrel.EXE", program));
  EXPECT_TRUE(ImageIs(L"C:/Program Files/Vantrel/Vantrel.exe", program));
  EXPECT_FALSE(ImageIs(L"C:\\Program Files\\Other\\Vantrel.exe", program));
  EXPECT_FALSE(ImageIs(L"Vantrel.exe", program));
  EXPECT_FALSE(ImageIs(L"C:\\Program Files\\Vantrel\\Vantrel.exe.old", program));
  EXPECT_FALSE(ImageIs(L"", program)) << "an image that cannot be read";
  EXPECT_FALSE(ImageIs(program, L""));
}
