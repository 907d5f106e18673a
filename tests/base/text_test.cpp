#include "base/text.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

const std::wstring kReplacement(1, static_cast<wchar_t>(0xFFFD));

TEST(Utf8Conversion, KnownEncodings) {
  EXPECT_EQ(ToUtf8(L"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\xD83D\xDE00"));
  EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), L"\U0001F600");
}

TEST(Utf8Conversion, EveryScalarValueRoundTrips) {
  std::wstring all;
  std::u16string all16;
  for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (sizeof(wchar_t) == 4) all += static_cast<wchar_t>(cp);
    if (cp > 0xFFFF) {
      all16 += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      all16 += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      all16 += static_cast<char16_t>(cp);
    }
  }
  const std::string bytes = Utf16ToUtf8(all16);
  EXPECT_EQ(Utf8ToUtf16(bytes), all16);
  if (sizeof(wchar_t) == 4) {
    EXPECT_EQ(ToUtf8(all), bytes);
    EXPECT_EQ(FromUtf8(bytes), all);
  }
}

TEST(Utf8Conversion, LoneSurrogatesBecomeReplacement) {
  const std::string r = "\xEF\xBF\xBD";
  EXPECT_EQ(Utf16ToUtf8(u"a\xD800"), "a" + r);
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00\xD800x"), r + r + "x");
  EXPECT_EQ(Utf16ToUtf8(u"\xD800\xD800\xDC00"), r + "\xF0\x90\x80\x80");
  if (sizeof(wchar_t) == 4) {
    EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), r);
    EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), r);
  }
}

// Each maximal invalid prefix is one U+FFFD; the byte that broke a sequence
// is read again on its own.
TEST(Utf8Conversion, InvalidBytesBecomeReplacement) {
  const std::wstring r = kReplacement;
  struct Case {
    std::string bytes;
    std::wstring text;
  };
  const Case cases[] = {
      {"\x80", r},
      {"\xC0\xAF", r + r},                  // overlong lead
      {"\xE0\x80\xAF", r + r + r},          // overlong three-byte form
      {"\xED\xA0\x80", r + r + r},          // encoded surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xF5\xFF", r + r},
      {"\xE2\x82", r},  // truncated at the end
      {"\xF0\x9F\x98", r},
      {"\xE2\x82"
       "A",
       r + L"A"},
      {"\xC3"
       "\xC3\xA9",
       r + L"\u00E9"},
      {std::string("\xC3\0", 2), r + std::wstring(1, L'\0')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromUtf8(c.bytes), c.text) << testing::PrintToString(c.bytes);
    EXPECT_EQ(Utf8ToUtf16(c.bytes).size(), c.text.size());
  }
}

TEST(LeadingInteger, ReadsSignAndDigits) {
  EXPECT_EQ(LeadingInteger(L""), 0);
  EXPECT_EQ(LeadingInteger(L"abc"), 0);
  EXPECT_EQ(LeadingInteger(L"-"), 0);
  EXPECT_EQ(LeadingInteger(L" 5"), 0);
  EXPECT_EQ(LeadingInteger(L"007"), 7);
  EXPECT_EQ(LeadingInteger(L"42abc"), 42);
  EXPECT_EQ(LeadingInteger(L"+5"), 5);
  EXPECT_EQ(LeadingInteger(L"-17.9"), -17);
  EXPECT_EQ(LeadingInteger(L"1-2"), 1);
}

TEST(LeadingInteger, Saturates) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(LeadingInteger(L"9223372036854775807"), kMax);
  EXPECT_EQ(LeadingInteger(L"9223372036854775808"), kMax);
  EXPECT_EQ(LeadingInteger(L"99999999999999999999999"), kMax);
  EXPECT_EQ(LeadingInteger(L"-9223372036854775807"), kMin + 1);
  EXPECT_EQ(LeadingInteger(L"-9223372036854775808"), kMin);
  EXPECT_EQ(LeadingInteger(L"-99999999999999999999999"), kMin);
}

TEST(TextHelpers, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(ToUpperAscii(L"az@[`{AZ\u00E9"), L"AZ@[`{AZ\u00E9");
  EXPECT_EQ(ToLowerAscii(L"AZ@[`{az\u00C9"), L"az@[`{az\u00C9");
}

TEST(TextHelpers, TrimSpacesRemovesOnlySpaces) {
  EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
  EXPECT_EQ(TrimSpaces(L"\ta\t"), L"\ta\t");
  EXPECT_EQ(TrimSpaces(L"   "), L"");
}

TEST(TextHelpers, FileNamePartCutsAtLastSeparator) {
  EXPECT_EQ(FileNamePart(L"C:\\Program Files\\x.exe"), L"x.exe");
  EXPECT_EQ(FileNamePart(L"a\\b/c.exe"), L"c.exe");
  EXPECT_EQ(FileNamePart(L"a/b\\c.exe"), L"c.exe");
  EXPECT_EQ(FileNamePart(L"plain.exe"), L"plain.exe");
  EXPECT_EQ(FileNamePart(L"folder\\"), L"");
}

}  // namespace
