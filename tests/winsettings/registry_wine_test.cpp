#include <windows.h>

#include <gtest/gtest.h>

#include "winsettings/registry.h"

namespace {

constexpr wchar_t kScratch[] = L"Software\\VantrelTests";

class RegistryWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRegistryFunctions());
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kScratch); }
  static std::wstring Path(const std::wstring& below) { return std::wstring(kScratch) + below; }
};

TEST_F(RegistryWine, CreatedThenOpenedWithOrWithoutOuterBackslashes) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"\\" + Path(L"\\New\\Deep\\"), L"V", L"x", kRegSz, 0,
                          &record),
            REG_CREATED_NEW_KEY);
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, Path(L"\\New\\Deep"), L"V", L"y", kRegSz, 0, &record),
            REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(L"\\New\\Deep\\"), L"V", 0, &record), L"y");
  EXPECT_EQ(record.VALUETYPE, REG_SZ);
  EXPECT_EQ(record.DATASIZE, 1);
}

TEST_F(RegistryWine, DwordTextsAreConvertedByTheirPrefix) {
  RegValue record;
  const std::pair<const wchar_t*, DWORD> cases[] = {
      {L"$FF", 255}, {L"abc", 0}, {L"-1", 0xFFFFFFFF}};
  for (const auto& [text, expected] : cases) {
    ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(L""), L"D", text, kRegDword, 0, &record), 0);
    DWORD stored = 1234;
    DWORD size = sizeof(stored);
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, kScratch, L"D", RRF_RT_REG_DWORD, nullptr, &stored, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(stored, expected) << text;
  }
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(L""), L"D", 0, &record), L"-1");
  EXPECT_EQ(record.DWORDVALUE, 0xFFFFFFFFu);
  EXPECT_EQ(record.DATASIZE, 4);
}

TEST_F(RegistryWine, MultiStringRoundTrip) {
  RegValue record;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(L""), L"M", L"a\nb", kRegMultiSz, 0, &record), 0);
  wchar_t stored[8] = {};
  DWORD size = sizeof(stored);
  ASSERT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, kScratch, L"M", RRF_RT_REG_MULTI_SZ, nullptr, stored, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)), std::wstring(L"a\0b\0\0", 5));
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(L""), L"M", 0, &record), L"a\nb\n");
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, Path(L""), L"M", 0, nullptr), REG_MULTI_SZ);
}

TEST_F(RegistryWine, LongBinaryIsRenderedCutButHandedOverWhole) {
  RegValue record;
  record.BINARY.resize(3000);
  for (size_t i = 0; i < record.BINARY.size(); ++i) record.BINARY[i] = static_cast<BYTE>(i);
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(L""), L"B", L"", kRegBinary, 0, &record), 0);
  const std::vector<std::uint8_t> written = record.BINARY;
  const std::wstring text = ReadRegValue(kHkeyCurrentUser, Path(L""), L"B", 0, &record);
  EXPECT_EQ(text.substr(0, 11), L"$00,$01,$02");
  EXPECT_EQ(text.size(), 2096u * 4 - 1);
  EXPECT_EQ(record.DATASIZE, 3000);
  EXPECT_EQ(record.BINARY, written);
}

TEST_F(RegistryWine, MissingValueReportsCodeTwoWithTheSystemText) {
  RegValue record;
  WriteRegValue(kHkeyCurrentUser, Path(L""), L"Other", L"1", kRegDword, 0, nullptr);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(L""), L"Missing", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, Path(L"\\Nowhere"), L"X", 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryWine, ExpandableStringsAreExpanded) {
  SetEnvironmentVariableW(L"VANTREL_TEST_DIR", L"C:\\Games");
  RegValue record;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(L""), L"E", L"%VANTREL_TEST_DIR%\\SteamVR",
                          kRegExpandSz, 0, &record),
            0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(L""), L"E", 0, &record), L"C:\\Games\\SteamVR");
  EXPECT_EQ(record.STRINGVALUE, L"C:\\Games\\SteamVR");
}

TEST_F(RegistryWine, SubKeysAreCountedAndNamedUntilTheEnd) {
  WriteRegValue(kHkeyCurrentUser, Path(L"\\Enum\\First"), L"V", L"1", kRegDword, 0, nullptr);
  WriteRegValue(kHkeyCurrentUser, Path(L"\\Enum\\Second"), L"V", L"1", kRegDword, 0, nullptr);
  EXPECT_EQ(CountRegSubKeys(kHkeyCurrentUser, Path(L"\\Enum"), 0, nullptr), 2);
  RegValue record;
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, Path(L"\\Enum"), 1, 0, &record), L"Second");
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, Path(L"\\Enum"), 2, 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryWine, ThirtyTwoBitViewIsASeparateTree) {
  const std::wstring path = L"SOFTWARE\\VantrelTests";
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
  ASSERT_NE(WriteRegValue(kHkeyLocalMachine, path, L"View", L"32", kRegSz, 1, nullptr), 0);
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 1, nullptr), L"32");
  RegValue record;
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 0, &record), L"");
  EXPECT_NE(record.ERRORCODE, 0);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace
