#include <gtest/gtest.h>

#include "tests/sim/sim.h"
#include "tests/sim/sim_registry.h"
#include "winsettings/registry.h"
#include "winsettings/registry_rules.h"

namespace {

TEST(RegistryRules, KeyPathLosesOneBackslashAtEachEnd) {
  EXPECT_EQ(TrimKeyPath(L"\\SOFTWARE\\Key\\"), L"SOFTWARE\\Key");
  EXPECT_EQ(TrimKeyPath(L"SOFTWARE\\Key"), L"SOFTWARE\\Key");
  EXPECT_EQ(TrimKeyPath(L"\\\\SOFTWARE\\Key"), L"\\SOFTWARE\\Key");
  EXPECT_EQ(TrimKeyPath(L"\\"), L"");
}

TEST(RegistryRules, TextToIntegerReadsDecimalHexAndBinary) {
  EXPECT_EQ(RegTextToInteger(L"$FF"), 255);
  EXPECT_EQ(RegTextToInteger(L"abc"), 0);
  EXPECT_EQ(static_cast<std::uint32_t>(RegTextToInteger(L"-1")), 0xFFFFFFFFu);
  EXPECT_EQ(RegTextToInteger(L" \t+42x7"), 42);
  EXPECT_EQ(RegTextToInteger(L"%1011"), 11);
  EXPECT_EQ(RegTextToInteger(L"-$10"), -16);
  EXPECT_EQ(RegTextToInteger(L"%102"), 2);
  EXPECT_EQ(RegTextToInteger(L""), 0);
}

TEST(RegistryRules, BinaryIsRenderedAsHexBytesUpToTheLimit) {
  EXPECT_EQ(RenderBinary({1, 171}), L"$01,$AB");
  EXPECT_EQ(RenderBinary({}), L"");
  const std::wstring long_text = RenderBinary(std::vector<std::uint8_t>(3000, 0x5A));
  EXPECT_EQ(long_text.size(), kRenderedBinaryLimit * 4 - 1);
}

TEST(RegistryRules, MultiStringsSplitAtLineFeedsAndComeBackWithOneTrailingFeed) {
  EXPECT_EQ(MultiStringData(L"a\nb"), std::u16string(u"a\0b\0\0", 5));
  EXPECT_EQ(MultiStringText(std::u16string(u"a\0b\0\0", 5)), L"a\nb\n");
  EXPECT_EQ(StringFromData(std::u16string(u"ab\0cd", 5)), L"ab");
  EXPECT_EQ(StringFromData(u"no end"), L"no end");
}

class SimulatedRegistry : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimulatedRegistry, FollowsTheSameRulesAsTheRealOne) {
  RegValue record;
  EXPECT_EQ(
      WriteRegValue(kHkeyCurrentUser, L"\\Software\\T\\", L"D", L"$FF", kRegDword, 0, &record), 1);
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"Software\\T", L"M", L"a\nb", kRegMultiSz, 0, &record),
            2);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"software\\t", L"d", 0, &record), L"255");
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"Software\\T", L"M", 0, &record), L"a\nb\n");
  EXPECT_EQ(CountRegSubKeys(kHkeyCurrentUser, L"Software", 0, nullptr), 1);
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, L"Software", 0, 0, nullptr), L"T");
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"Software\\T", L"missing", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, 2);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  sim::FailRegistryCalls(5);
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"Software\\T", L"D", L"1", kRegDword, 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, 5);
}

TEST_F(SimulatedRegistry, BinaryWriteNeedsABufferAndKeepsItsInputs) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"Software\\T", L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, kRegErrorNoBinary);
  EXPECT_EQ(record.ERRORTEXT, L"Error: No Pointer to BINARY defined!");
  record = RegValue{};
  record.BINARY = {1, 2, 3, 4};
  record.DATASIZE = 2;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"Software\\T", L"B", L"", kRegBinary, 0, &record), 2);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"Software\\T", L"B", 0, &record), L"$01,$02");
}

}  // namespace
