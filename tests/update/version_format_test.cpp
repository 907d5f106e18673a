#include "update/version_info.h"

#include <gtest/gtest.h>

TEST(FormatFileVersion, WritesFourDecimalNumbersWithoutLeadingZeros) {
  EXPECT_EQ(FormatFileVersion((2021u << 16) | 3u, (2u << 16) | 76u), L"2021.3.2.76");
  EXPECT_EQ(FormatFileVersion((2026u << 16) | 12u, (8u << 16) | 1u), L"2026.12.8.1");
  EXPECT_EQ(FormatFileVersion(0, 0), L"0.0.0.0");
}

TEST(FormatFileVersion, TakesHighHalvesFirstAndKeepsFullSixteenBits) {
  EXPECT_EQ(FormatFileVersion(0xFFFFFFFFu, 0xFFFFFFFFu), L"65535.65535.65535.65535");
  EXPECT_EQ(FormatFileVersion(0x00010002u, 0x00030004u), L"1.2.3.4");
  EXPECT_EQ(FormatFileVersion(0xFFFF0000u, 0x0000FFFFu), L"65535.0.0.65535");
  EXPECT_EQ(FormatFileVersion(0x8000u, 0x80000000u), L"0.32768.32768.0");
}

TEST(LanguageBlockName, PadsEachWordToFourUpperCaseHexDigits) {
  EXPECT_EQ(LanguageBlockName(0x0000, 0x04B0), L"000004B0");
  EXPECT_EQ(LanguageBlockName(0x0409, 0x04E4), L"040904E4");
  EXPECT_EQ(LanguageBlockName(0x0407, 0x0000), L"04070000");
  EXPECT_EQ(LanguageBlockName(0x000A, 0x00BC), L"000A00BC");
  EXPECT_EQ(LanguageBlockName(0xFFFF, 0xABCD), L"FFFFABCD");
  EXPECT_EQ(LanguageBlockName(0x0409, 0x04E4), kFallbackLanguageBlock);
}
