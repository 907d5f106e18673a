#include "winsettings/registry_rules.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Data(std::initializer_list<int> bytes) {
  std::vector<std::uint8_t> data;
  for (int byte : bytes) data.push_back(static_cast<std::uint8_t>(byte));
  return data;
}

TEST(RegistryRules, KeyPathLosesOneBackslashAtEachEnd) {
  EXPECT_EQ(TrimKeyPath(L"\\SOFTWARE\\Key\\"), L"SOFTWARE\\Key");
  EXPECT_EQ(TrimKeyPath(L"SOFTWARE\\Key"), L"SOFTWARE\\Key");
  EXPECT_EQ(TrimKeyPath(L"\\\\SOFTWARE\\Key\\\\"), L"\\SOFTWARE\\Key\\");
  EXPECT_EQ(TrimKeyPath(L"\\"), L"");
  EXPECT_EQ(TrimKeyPath(L""), L"");
}

TEST(RegistryRules, TextToIntegerReadsDecimalHexAndBinary) {
  EXPECT_EQ(RegTextToInteger(L"$FF"), 255);
  EXPECT_EQ(RegTextToInteger(L"$ff"), 255);
  EXPECT_EQ(RegTextToInteger(L"abc"), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(RegTextToInteger(L"-1")), 0xFFFFFFFFu);
  EXPECT_EQ(RegTextToInteger(L" \t+42x7"), 42);
  EXPECT_EQ(RegTextToInteger(L"%1011"), 11);
  EXPECT_EQ(RegTextToInteger(L"-$10"), -16);
  EXPECT_EQ(RegTextToInteger(L"%102"), 2);
  EXPECT_EQ(RegTextToInteger(L"$"), 0);
  EXPECT_EQ(RegTextToInteger(L""), 0);
  EXPECT_EQ(RegTextToInteger(L"- 5"), 0);
  EXPECT_EQ(RegTextToInteger(L"$100000000"), 0x100000000);
  EXPECT_EQ(RegTextToInteger(L"$FFFFFFFFFFFFFFFF"), -1);
  // Too long for 64 bits: the low bits are kept, nothing overflows.
  EXPECT_EQ(RegTextToInteger(L"$1FFFFFFFFFFFFFFFF"), -1);
}

TEST(RegistryRules, BinaryIsRenderedAsHexBytesUpToTheLimit) {
  EXPECT_EQ(RenderBinary(Data({1, 171})), L"$01,$AB");
  EXPECT_EQ(RenderBinary({}), L"");
  const std::wstring text = RenderBinary(std::vector<std::uint8_t>(3000, 0x5A));
  EXPECT_EQ(text.size(), kRenderedBinaryLimit * 4 - 1);
  EXPECT_EQ(text.substr(text.size() - 4), L",$5A");
}

TEST(RegistryRules, MultiStringsSplitAtLineFeedsAndComeBackWithOneTrailingFeed) {
  EXPECT_EQ(MultiStringData(L"a\nb"), std::u16string(u"a\0b\0\0", 5));
  EXPECT_EQ(MultiStringData(L""), std::u16string(u"\0\0", 2));
  EXPECT_EQ(MultiStringText(std::u16string(u"a\0b\0\0", 5)), L"a\nb\n");
  EXPECT_EQ(MultiStringText(std::u16string(u"a\0b", 3)), L"a\nb");
  EXPECT_EQ(StringFromData(std::u16string(u"ab\0cd", 5)), L"ab");
  EXPECT_EQ(StringFromData(u"no end"), L"no end");
}

TEST(RegistryRules, StoredDataIsRenderedByItsType) {
  RegValue record;
  auto data = Data({0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(RenderRegData(kRegDword, data, &record), L"-1");
  EXPECT_EQ(record.DWORDVALUE, 0xFFFFFFFFu);
  EXPECT_EQ(record.DATASIZE, 4);
  data = Data({0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x80});
  EXPECT_EQ(RenderRegData(kRegQword, data, &record), L"-9223372032559808512");
  EXPECT_EQ(record.QWORDVALUE, 0x8000000100000000u);
  EXPECT_EQ(record.DATASIZE, 8);
  // Data shorter than the type's width reads as zero-filled, not past its end.
  data = Data({0x2A});
  EXPECT_EQ(RenderRegData(kRegDword, data, nullptr), L"42");
  data = Data({'h', 0, 'i', 0, 0, 0, 'x', 0});
  EXPECT_EQ(RenderRegData(kRegSz, data, nullptr), L"hi");
  data = Data({'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0});
  EXPECT_EQ(RenderRegData(kRegMultiSz, data, nullptr), L"a\nb\n");
  data = Data({1, 2});
  EXPECT_EQ(RenderRegData(99, data, nullptr), L"");
}

TEST(RegistryRules, BinaryReadHandsAllTheDataToTheRecord) {
  RegValue record;
  std::vector<std::uint8_t> data(3000, 7);
  EXPECT_EQ(RenderRegData(kRegBinary, data, &record).size(), kRenderedBinaryLimit * 4 - 1);
  EXPECT_EQ(record.DATASIZE, 3000);
  EXPECT_EQ(record.BINARY, std::vector<std::uint8_t>(3000, 7));
}

TEST(RegistryRules, RecordIsResetButABinaryWriteKeepsItsInputs) {
  RegValue record;
  record.ERRORCODE = 5;
  record.ERRORTEXT = L"old";
  record.STRINGVALUE = L"old";
  record.DATASIZE = 2;
  record.BINARY = Data({1, 2, 3});
  ResetRegRecord(&record, true);
  EXPECT_EQ(record.ERRORCODE, 0);
  EXPECT_EQ(record.ERRORTEXT, L"");
  EXPECT_EQ(record.STRINGVALUE, L"");
  EXPECT_EQ(record.DATASIZE, 2);
  EXPECT_EQ(record.BINARY, Data({1, 2, 3}));
  ResetRegRecord(&record, false);
  EXPECT_EQ(record.DATASIZE, 0);
  EXPECT_TRUE(record.BINARY.empty());
}

TEST(RegistryRules, OwnErrorCodesCarryTheirOwnTexts) {
  RegValue record;
  SetRegError(&record, kRegErrorMemory);
  EXPECT_EQ(record.ERRORTEXT, L"Error: Can't allocate memory");
  SetRegError(&record, kRegErrorNoBinary);
  EXPECT_EQ(record.ERRORCODE, -2);
  EXPECT_EQ(record.ERRORTEXT, L"Error: No Pointer to BINARY defined!");
}

}  // namespace
