#include "base/link_scheme.h"

#include <gtest/gtest.h>

TEST(LinkScheme, NamesTheSchemeOfALinkAndNoneOfAPath) {
  EXPECT_EQ(LinkScheme(L"steam://rungameid/250820"), L"steam");
  EXPECT_EQ(LinkScheme(L"ms-settings:holographic"), L"ms-settings");
  EXPECT_EQ(LinkScheme(L"shell:AppsFolder\\Microsoft.App_8wekyb3d8bbwe!App"), L"shell");
  EXPECT_EQ(LinkScheme(L"C:\\Steam\\OpenVRSettingsUX.exe"), L"");
  EXPECT_EQ(LinkScheme(L"\\\\server\\share\\a:b.exe"), L"");
  EXPECT_EQ(LinkScheme(L"Steam Library\\x:y"), L"");
  EXPECT_EQ(LinkScheme(L"1st:x"), L"");
  EXPECT_EQ(LinkScheme(L"OpenVRSettingsUX.exe"), L"");
}

TEST(LinkScheme, OnlyADrivePathOrAShareNamesOneFileEverywhere) {
  EXPECT_TRUE(IsFullPath(L"C:\\Steam\\OpenVRSettingsUX.exe"));
  EXPECT_TRUE(IsFullPath(L"\\\\server\\share\\x.exe"));
  EXPECT_FALSE(IsFullPath(L"\\Steam\\x.exe"));
  EXPECT_FALSE(IsFullPath(L"C:Steam\\x.exe"));
  EXPECT_FALSE(IsFullPath(L"Steam\\x.exe"));
  EXPECT_FALSE(IsFullPath(L"C:"));
}
