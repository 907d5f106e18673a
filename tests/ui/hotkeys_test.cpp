#include "ui/hotkeys.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/program_state.h"
#include "tests/sim/sim.h"

namespace {

constexpr int kF9 = 0x78;
constexpr int kEscape = 27;

class Hotkeys : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ProgramSettings() = Settings{};
  }

  static Settings& S() { return ProgramSettings(); }
};

TEST_F(Hotkeys, RegistersTheKeyWithTheTickedModifiersAndNoRepeat) {
  S().UseMenuHotkey = 1;
  S().UseKeyHotkey = kF9;
  RegisterMenuHotkey();
  ASSERT_NE(sim::RegisteredHotkey(), nullptr);
  // No modifier box ticked: the bare key.
  EXPECT_EQ(*sim::RegisteredHotkey(), (sim::Hotkey{kHotkeyNoRepeat, kF9}));

  S().UseStrgHotkey = 1;
  S().UseShiftHotkey = 1;
  RegisterMenuHotkey();
  EXPECT_EQ(*sim::RegisteredHotkey(),
            (sim::Hotkey{kHotkeyNoRepeat | kHotkeyControl | kHotkeyShift, kF9}));
  S().UseStrgHotkey = 0;
  S().UseShiftHotkey = 0;
  S().UseAltHotkey = 1;
  RegisterMenuHotkey();
  EXPECT_EQ(*sim::RegisteredHotkey(), (sim::Hotkey{kHotkeyNoRepeat | kHotkeyAlt, kF9}));
}

TEST_F(Hotkeys, RegistersNothingWithoutTheBoxOrWithoutAKey) {
  S().UseMenuHotkey = 1;
  S().UseKeyHotkey = 0;
  RegisterMenuHotkey();
  EXPECT_EQ(sim::RegisteredHotkey(), nullptr);
  EXPECT_TRUE(sim::HotkeyAttempts().empty());

  S().UseKeyHotkey = kF9;
  RegisterMenuHotkey();
  ASSERT_NE(sim::RegisteredHotkey(), nullptr);
  // Switching the box off removes the hotkey that was there.
  S().UseMenuHotkey = 0;
  RegisterMenuHotkey();
  EXPECT_EQ(sim::RegisteredHotkey(), nullptr);
  EXPECT_EQ(sim::HotkeyAttempts().size(), 1u);
}

TEST_F(Hotkeys, CombinationHeldElsewhereLeavesNoHotkeyUntilTheNextChange) {
  sim::HoldHotkeyElsewhere({kHotkeyControl, kF9});
  S().UseMenuHotkey = 1;
  S().UseStrgHotkey = 1;
  S().UseKeyHotkey = kF9;
  RegisterMenuHotkey();
  EXPECT_EQ(sim::RegisteredHotkey(), nullptr);
  S().UseStrgHotkey = 0;
  RegisterMenuHotkey();
  ASSERT_NE(sim::RegisteredHotkey(), nullptr);
  EXPECT_EQ(sim::RegisteredHotkey()->key, kF9);
}

TEST_F(Hotkeys, KeyNameTableUsesTheLayoutExceptForExcludedAndFixedCodes) {
  // A layout that has a name for every code (scan code = virtual-key code),
  // so every empty entry is one the table itself leaves empty.
  for (int code = 1; code < 256; ++code) {
    sim::MapKey(code, static_cast<unsigned>(code));
    sim::NameKey(code << 16, L"key " + std::to_wstring(code));
    sim::NameKey(code << 16 | 1 << 24, L"extended key " + std::to_wstring(code));
  }
  BuildKeyNameTable();
  EXPECT_FALSE(sim::KeyboardLayoutActivated());  // the earlier layout is back

  const std::vector<std::pair<int, int>> excluded = {
      {7, 7},     {10, 11},   {14, 15},   {22, 22},   {26, 26},   {58, 64},  {94, 94},
      {136, 143}, {151, 159}, {166, 185}, {193, 218}, {224, 224}, {232, 232}};
  int excludedCount = 0;
  for (const auto& [first, last] : excluded) {
    for (int code = first; code <= last; ++code, ++excludedCount) {
      EXPECT_EQ(KeyName(code), L"") << "code " << code;
    }
  }
  ASSERT_EQ(excludedCount, 80);
  EXPECT_EQ(KeyName(19), L"Pause");
  EXPECT_EQ(KeyName(12), L"Clear");
  EXPECT_EQ(KeyName(0), L"");  // no scan code
  EXPECT_EQ(KeyName(256), L"");
  EXPECT_EQ(KeyName(-1), L"");
  EXPECT_EQ(KeyName(257), L"");

  // Neighbours of the excluded ranges are named; the extended keys ask
  // with bit 24 set, the others without.
  for (int code : {8, 9, 13, 16, 27, 57, 65, 95, 135, 144, 150, 160, 165, 186, 192, 219, 225}) {
    EXPECT_FALSE(KeyName(code).empty()) << "code " << code;
  }
  for (int code : {3, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 91, 92, 93, 144, 163, 165}) {
    EXPECT_EQ(KeyName(code).rfind(L"extended key ", 0), 0u) << "code " << code;
  }
  for (int code : {32, 41, 44, 47, 90, 96, 145, 162, 164}) {
    EXPECT_EQ(KeyName(code).rfind(L"key ", 0), 0u) << "code " << code;
  }
  // Pause and Clear were never looked up.
  for (std::int32_t request : sim::KeyNameRequests()) {
    EXPECT_NE(request & 0xFF0000, 19 << 16);
    EXPECT_NE(request & 0xFF0000, 12 << 16);
  }
  // Every other code of the layout was asked for once.
  EXPECT_EQ(sim::KeyNameRequests().size(), 255u - 80u - 2u);
}

TEST_F(Hotkeys, CodeWithoutScanCodeOrNameStaysEmpty) {
  sim::MapKey('A', 0x1E);
  sim::NameKey(0x1E << 16, L"A");
  sim::MapKey('B', 0x30);  // the layout gives no name
  BuildKeyNameTable();
  EXPECT_EQ(KeyName('A'), L"A");
  EXPECT_EQ(KeyName('B'), L"");
  EXPECT_EQ(KeyName('C'), L"");
  EXPECT_EQ(sim::KeyNameRequests(), (std::vector<std::int32_t>{0x1E << 16, 0x30 << 16}));
}

TEST_F(Hotkeys, CaptureIgnoresModifierAndSystemKeysAndTakesTheFirstRealOne) {
  S().UseKeyHotkey = 65;
  sim::QueueCaptureKeys({8,  9,  13, 16, 160, 161, 17, 162, 163, 18,  164, 165,
                         19, 20, 46, 47, 91,  92,  93, 144, 145, kF9, 66});
  EXPECT_EQ(CaptureHotkeyKey(), 1);
  EXPECT_EQ(S().UseKeyHotkey, kF9);
  EXPECT_FALSE(sim::CaptureWindowOpen());
  EXPECT_EQ(sim::CaptureWindowOpenings(), 1);
}

TEST_F(Hotkeys, EscapeOrAClosedWindowKeepsThePreviousKey) {
  S().UseKeyHotkey = 65;
  sim::QueueCaptureKeys({17, kEscape, kF9});
  EXPECT_EQ(CaptureHotkeyKey(), 0);
  EXPECT_EQ(S().UseKeyHotkey, 65);
  EXPECT_FALSE(sim::CaptureWindowOpen());

  // F9 came after Esc, into a window that was already gone: the next
  // capture waits for a key of its own.
  sim::QueueCaptureKeys({66});
  EXPECT_EQ(CaptureHotkeyKey(), 1);
  EXPECT_EQ(S().UseKeyHotkey, 66);

  sim::FailCaptureWindow();
  sim::QueueCaptureKeys({67});
  EXPECT_EQ(CaptureHotkeyKey(), 0);
  EXPECT_EQ(S().UseKeyHotkey, 66);
}

TEST_F(Hotkeys, CaptureSkipsCodesThatAreNoKeys) {
  sim::QueueCaptureKeys({0, 256, 1000, 'K'});
  EXPECT_EQ(CaptureHotkeyKey(), 1);
  EXPECT_EQ(S().UseKeyHotkey, 'K');
}

TEST_F(Hotkeys, LabelShowsTheChosenKeysNameOrKey) {
  sim::MapKey(kF9, 0x43);
  sim::NameKey(0x43 << 16, L"F9");
  BuildKeyNameTable();
  EXPECT_EQ(HotkeyLabelText(), L"Key");
  S().UseKeyHotkey = kF9;
  EXPECT_EQ(HotkeyLabelText(), L"F9");
  S().UseKeyHotkey = 7;  // a code without a name shows an empty label
  EXPECT_EQ(HotkeyLabelText(), L"");
}

}  // namespace
