#include <windows.h>

#include <gtest/gtest.h>

#include "winsettings/registry.h"

namespace {

// Each test has a key of its own: CTest runs tests of the suite side by side
// in one prefix.
std::wstring ScratchKey() {
  const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return L"Software\\VantrelTests\\" + std::wstring(name, name + strlen(name));
}

class RegistryWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRegistryFunctions());
    key_ = ScratchKey();
    TearDown();
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
    // The view test's keys hold values only, no sub-keys.
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), view, 0);
    }
  }
  std::wstring Path(const std::wstring& below = L"") const { return key_ + below; }
  bool UserKeyExists(const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != 0) return false;
    RegCloseKey(key);
    return true;
  }

  std::wstring key_;
};

TEST_F(RegistryWine, KeysAreCreatedThenOpenedWithOrWithoutOuterBackslashes) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"\\" + Path(L"\\New\\Deep\\"), L"V", L"x", kRegSz, 0,
                          &record),
            REG_CREATED_NEW_KEY);
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, Path(L"\\New\\Deep"), L"V", L"y", kRegSz, 0, &record),
            REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(record.ERRORCODE, 0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"\\" + Path(L"\\New\\Deep\\"), L"V", 0, &record), L"y");
  EXPECT_EQ(record.VALUETYPE, REG_SZ);
  EXPECT_EQ(record.DATASIZE, 1);
}

TEST_F(RegistryWine, DoubledLeadingBackslashLosesOnlyOneAndTheRestIsRefused) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"\\\\" + Path(), L"V", L"1", kRegDword, 0, &record),
            0);
  EXPECT_EQ(record.ERRORCODE, ERROR_BAD_PATHNAME);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  EXPECT_FALSE(UserKeyExists(Path()));
}

TEST_F(RegistryWine, NumberTextsAreConvertedByTheirPrefix) {
  RegValue record;
  const std::pair<const wchar_t*, DWORD> dwords[] = {
      {L"$FF", 255}, {L"abc", 0}, {L"-1", 0xFFFFFFFF}, {L"%101", 5}};
  for (const auto& [text, expected] : dwords) {
    ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"D", text, kRegDword, 0, &record), 0);
    DWORD stored = 1234;
    DWORD size = sizeof(stored);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Path().c_str(), L"D", RRF_RT_REG_DWORD, nullptr,
                           &stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, expected) << text;
  }
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"D", 0, &record), L"5");
  EXPECT_EQ(record.DWORDVALUE, 5u);
  EXPECT_EQ(record.DATASIZE, 4);

  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"Q", L"$100000000", kRegQword, 0, &record), 0);
  ULONGLONG stored = 0;
  DWORD size = sizeof(stored);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Path().c_str(), L"Q", RRF_RT_REG_QWORD, nullptr,
                         &stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(stored, 0x100000000u);
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"Q", L"-1", kRegQword, 0, &record), 0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"Q", 0, &record), L"-1");
  EXPECT_EQ(record.QWORDVALUE, ~0ull);
  EXPECT_EQ(record.DATASIZE, 8);
}

TEST_F(RegistryWine, MultiStringRoundTrip) {
  RegValue record;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"M", L"a\nb", kRegMultiSz, 0, &record), 0);
  wchar_t stored[8] = {};
  DWORD size = sizeof(stored);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Path().c_str(), L"M", RRF_RT_REG_MULTI_SZ, nullptr,
                         stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)), std::wstring(L"a\0b\0\0", 5));
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"M", 0, &record), L"a\nb\n");
  EXPECT_EQ(record.DATASIZE, 4);
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, Path(), L"M", 0, nullptr), REG_MULTI_SZ);
}

TEST_F(RegistryWine, LongBinaryIsRenderedCutButHandedOverWhole) {
  RegValue record;
  record.BINARY.resize(3000);
  for (size_t i = 0; i < record.BINARY.size(); ++i) record.BINARY[i] = static_cast<BYTE>(i);
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"B", L"", kRegBinary, 0, &record), 0);
  const std::vector<std::uint8_t> written = record.BINARY;
  const std::wstring text = ReadRegValue(kHkeyCurrentUser, Path(), L"B", 0, &record);
  EXPECT_EQ(text.substr(0, 11), L"$00,$01,$02");
  EXPECT_EQ(text.size(), 2096u * 4 - 1);
  EXPECT_EQ(record.VALUETYPE, REG_BINARY);
  EXPECT_EQ(record.DATASIZE, 3000);
  EXPECT_EQ(record.BINARY, written);
}

TEST_F(RegistryWine, BinaryWriteTakesItsCountButNeverMoreThanTheBuffer) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, Path(), L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, kRegErrorNoBinary);
  record.BINARY = {1, 2, 3};
  record.DATASIZE = 2;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"B", 0, nullptr), L"$01,$02");
  record.BINARY = {9};
  record.DATASIZE = 100000;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"B", 0, &record), L"$09");
  EXPECT_EQ(record.DATASIZE, 1);
}

TEST_F(RegistryWine, MissingValueReportsCodeTwoWithTheSystemText) {
  RegValue record;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"Other", L"1", kRegDword, 0, nullptr), 0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"Missing", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, Path(L"\\Nowhere"), L"X", 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(record.ERRORTEXT, RegErrorText(ERROR_FILE_NOT_FOUND));
  // A successful call clears what the last one left.
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"Other", 0, &record), L"1");
  EXPECT_EQ(record.ERRORCODE, 0);
  EXPECT_EQ(record.ERRORTEXT, L"");
}

// ExpandEnvironmentStringsW is looked up in kernel32: from advapi32 the slot
// would be empty and this read would come back empty.
TEST_F(RegistryWine, ExpandableStringsAreExpanded) {
  SetEnvironmentVariableW(L"VANTREL_TEST_DIR", L"C:\\Games");
  RegValue record;
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, Path(), L"E", L"%VANTREL_TEST_DIR%\\SteamVR",
                          kRegExpandSz, 0, &record),
            0);
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, Path(), L"E", 0, nullptr), REG_EXPAND_SZ);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, Path(), L"E", 0, &record), L"C:\\Games\\SteamVR");
  EXPECT_EQ(record.ERRORCODE, 0);
  EXPECT_EQ(record.STRINGVALUE, L"C:\\Games\\SteamVR");
  EXPECT_EQ(record.DATASIZE, 16);
}

TEST_F(RegistryWine, SubKeysAreCountedAndNamedUntilTheEnd) {
  WriteRegValue(kHkeyCurrentUser, Path(L"\\Enum\\First"), L"V", L"1", kRegDword, 0, nullptr);
  WriteRegValue(kHkeyCurrentUser, Path(L"\\Enum\\Second\\Below"), L"V", L"1", kRegDword, 0,
                nullptr);
  EXPECT_EQ(CountRegSubKeys(kHkeyCurrentUser, Path(L"\\Enum\\"), 0, nullptr), 2);
  RegValue record;
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, Path(L"\\Enum"), 1, 0, &record), L"Second");
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, Path(L"\\Enum"), 2, 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, ERROR_NO_MORE_ITEMS);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  EXPECT_EQ(CountRegSubKeys(kHkeyCurrentUser, Path(L"\\Nowhere"), 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryWine, ThirtyTwoBitViewOfMachineSoftwareIsASeparateTree) {
  const std::wstring path = Path();  // under HKEY_LOCAL_MACHINE\Software
  ASSERT_NE(WriteRegValue(kHkeyLocalMachine, path, L"View", L"32", kRegSz, 1, nullptr), 0);
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 1, nullptr), L"32");
  RegValue record;
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, ERROR_FILE_NOT_FOUND);
  // Where a 64-bit process finds what the 32-bit view holds.
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, L"Software\\WOW6432Node\\" + Path().substr(9), L"View",
                         0, nullptr),
            L"32");
  ASSERT_NE(WriteRegValue(kHkeyLocalMachine, path, L"View", L"64", kRegSz, 0, nullptr), 0);
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 0, nullptr), L"64");
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, path, L"View", 1, nullptr), L"32");
}

TEST(RegistryErrorText, SystemTextKeepsItsLineBreakAndUnknownCodesHaveNone) {
  const std::wstring text = RegErrorText(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), L'\n');
  EXPECT_EQ(RegErrorText(0x2000ABCD), L"");
}

}  // namespace
