// The simulated registry stands in for the real one in every host test that
// touches the registry, so it must behave like it where the program relies
// on it.
#include <gtest/gtest.h>

#include "tests/sim/sim.h"
#include "tests/sim/sim_registry.h"
#include "winsettings/registry.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\VantrelTests";

class SimulatedRegistry : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SimulatedRegistry, KeysAreCreatedThenOpenedWhateverTheCaseAndOuterBackslashes) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"\\Software\\VantrelTests\\Deep\\", L"V", L"x", kRegSz,
                          0, &record),
            1);
  EXPECT_TRUE(sim::HasRegKey(kHkeyCurrentUser, kKey));
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, L"SOFTWARE\\vantreltests\\DEEP", L"v", L"y", kRegSz, 0,
                          &record),
            2);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, L"software\\VantrelTests\\Deep", L"V", 0, &record),
            L"y");
  EXPECT_EQ(record.VALUETYPE, kRegSz);
  EXPECT_EQ(record.DATASIZE, 1);
  // Names keep the case they were created with.
  EXPECT_EQ(RegSubKeyName(kHkeyCurrentUser, kKey, 0, 0, nullptr), L"Deep");
}

TEST_F(SimulatedRegistry, BackslashLeftAfterTrimmingIsRefusedAndCreatesNothing) {
  RegValue record;
  EXPECT_EQ(
      WriteRegValue(kHkeyCurrentUser, L"\\\\Software\\Other", L"V", L"1", kRegDword, 0, &record),
      0);
  EXPECT_EQ(record.ERRORCODE, 161);
  EXPECT_FALSE(record.ERRORTEXT.empty());
  EXPECT_FALSE(sim::HasRegKey(kHkeyCurrentUser, L"Software\\Other"));
}

TEST_F(SimulatedRegistry, WrittenNumbersAndListsAreStoredAsWindowsStoresThem) {
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, kKey, L"D", L"-1", kRegDword, 0, nullptr), 0);
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, kKey, L"Q", L"$100000000", kRegQword, 0, nullptr), 0);
  ASSERT_NE(WriteRegValue(kHkeyCurrentUser, kKey, L"M", L"a\nb", kRegMultiSz, 0, nullptr), 0);
  EXPECT_EQ(sim::RegValueOf(kHkeyCurrentUser, kKey, L"D")->data, std::string(4, '\xFF'));
  EXPECT_EQ(sim::RegValueOf(kHkeyCurrentUser, kKey, L"Q")->data,
            std::string("\0\0\0\0\1\0\0\0", 8));
  EXPECT_EQ(sim::RegValueOf(kHkeyCurrentUser, kKey, L"M")->data,
            std::string("a\0\0\0b\0\0\0\0\0", 10));
  RegValue record;
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"M", 0, &record), L"a\nb\n");
  EXPECT_EQ(record.STRINGVALUE, L"a\nb\n");
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"Q", 0, &record), L"4294967296");
  EXPECT_EQ(ReadRegValueType(kHkeyCurrentUser, kKey, L"q", 0, nullptr), kRegQword);
}

TEST_F(SimulatedRegistry, BinaryWritesNeedABufferAndNeverReadPastIt) {
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, kKey, L"B", L"", kRegBinary, 0, nullptr), 0);
  EXPECT_FALSE(sim::HasRegKey(kHkeyCurrentUser, kKey));
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, kKey, L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, kRegErrorNoBinary);
  EXPECT_FALSE(sim::RegValueOf(kHkeyCurrentUser, kKey, L"B"));
  record.BINARY = {1, 2, 3, 4};
  record.DATASIZE = 2;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, kKey, L"B", L"", kRegBinary, 0, &record), 2);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"B", 0, nullptr), L"$01,$02");
  record.BINARY = {5, 6};
  record.DATASIZE = 1000;
  EXPECT_NE(WriteRegValue(kHkeyCurrentUser, kKey, L"B", L"", kRegBinary, 0, &record), 0);
  EXPECT_EQ(sim::RegValueOf(kHkeyCurrentUser, kKey, L"B")->data, "\5\6");
}

TEST_F(SimulatedRegistry, ThirtyTwoBitViewOfTheMachineSoftwareKeyIsRedirected) {
  ASSERT_NE(WriteRegValue(kHkeyLocalMachine, L"SOFTWARE\\Vendor", L"V", L"32", kRegSz, 1, nullptr),
            0);
  EXPECT_TRUE(sim::RegValueOf(kHkeyLocalMachine, L"Software\\WOW6432Node\\Vendor", L"V"));
  RegValue record;
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, L"SOFTWARE\\Vendor", L"V", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, 2);
  EXPECT_EQ(ReadRegValue(kHkeyLocalMachine, L"SOFTWARE\\Vendor", L"V", 1, &record), L"32");
  // The user's tree is shared by both views.
  sim::PutRegString(kHkeyCurrentUser, kKey, L"S", L"shared");
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"S", 1, nullptr), L"shared");
}

TEST_F(SimulatedRegistry, ExpandableStringsAreExpandedFromTheEnvironment) {
  sim::SetEnvironmentVariable(L"ProgramFiles", L"C:\\Program Files");
  sim::PutRegString(kHkeyCurrentUser, kKey, L"E", L"%programfiles%\\Steam;%NOPE%;50%",
                    kRegExpandSz);
  RegValue record;
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"E", 0, &record),
            L"C:\\Program Files\\Steam;%NOPE%;50%");
  EXPECT_EQ(record.VALUETYPE, kRegExpandSz);
  EXPECT_EQ(record.DATASIZE, static_cast<int>(record.STRINGVALUE.size()));
}

TEST_F(SimulatedRegistry, SubKeysAreCountedAndNamedOnlyOneLevelDown) {
  sim::PutRegKey(kHkeyLocalMachine, L"SYSTEM\\Enum\\USB\\A\\Instance");
  sim::PutRegKey(kHkeyLocalMachine, L"SYSTEM\\Enum\\USB\\B");
  sim::PutRegKey(kHkeyLocalMachine, L"SYSTEM\\Enum\\USBSTOR");
  RegValue record;
  EXPECT_EQ(CountRegSubKeys(kHkeyLocalMachine, L"SYSTEM\\Enum\\USB\\", 0, &record), 2);
  EXPECT_EQ(RegSubKeyName(kHkeyLocalMachine, L"SYSTEM\\Enum\\USB", 1, 0, &record), L"B");
  EXPECT_EQ(RegSubKeyName(kHkeyLocalMachine, L"SYSTEM\\Enum\\USB", 2, 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, 259);
  EXPECT_EQ(CountRegSubKeys(kHkeyLocalMachine, L"SYSTEM\\Nowhere", 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, 2);
}

TEST_F(SimulatedRegistry, FailingCallsWriteNothingAndReportTheirCode) {
  sim::PutRegDword(kHkeyCurrentUser, kKey, L"D", 7);
  sim::FailRegistryCalls(5);
  RegValue record;
  EXPECT_EQ(WriteRegValue(kHkeyCurrentUser, kKey, L"D", L"1", kRegDword, 0, &record), 0);
  EXPECT_EQ(record.ERRORCODE, 5);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"D", 0, &record), L"");
  EXPECT_EQ(record.ERRORCODE, 5);
  sim::FailRegistryCalls(0);
  EXPECT_EQ(ReadRegValue(kHkeyCurrentUser, kKey, L"D", 0, &record), L"7");
  EXPECT_EQ(record.ERRORCODE, 0);
  EXPECT_EQ(record.ERRORTEXT, L"");
}

}  // namespace
