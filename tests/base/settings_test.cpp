#include "base/settings.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/sim/sim.h"

void PrintTo(const Settings& s, std::ostream* out) {
  for (int flag : {s.DarkMode, s.StartMinimized, s.CheckForUpdate, s.CloseToTray,
                   s.StartHMDwithSteam, s.StopHMDwithSteam, s.AutoStartSteamVR, s.AutoStartOculus,
                   s.UseMenuHotkey, s.MinimizeWMPortal, s.DisWinBGRecording, s.UseStrgHotkey,
                   s.UseAltHotkey, s.UseShiftHotkey}) {
    *out << flag << ' ';
  }
  *out << s.UseKeyHotkey;
  for (const std::wstring* text :
       {&s.ColorDistortionR, &s.ColorDistortionG, &s.ColorDistortionB, &s.SkipUpdate,
        &s.WMRPortalProcessName, &s.OculusServiceName, &s.SteamVRProcessName}) {
    *out << ' ' << testing::PrintToString(ToUtf8(*text));
  }
}

namespace {

constexpr char kDefaultFile[] =
    "\xEF\xBB\xBF\r\n"
    "; Vantrel - V1.2 Beta - Program Settings\r\n"
    "; \r\n"
    "; 0 = Auto (Def) / 1 = True / 2 = False\r\n"
    "; \r\n"
    "DarkMode = 0\r\n"
    "; \r\n"
    "; 0 = False (Def) / 1 = True\r\n"
    "; \r\n"
    "StartMinimized = 0\r\n"
    "CheckForUpdate = 0\r\n"
    "CloseToTray = 0\r\n"
    "StartHMDwithSteam = 0\r\n"
    "StopHMDwithSteam = 0\r\n"
    "AutoStartSteamVR = 0\r\n"
    "AutoStartOculus = 0\r\n"
    "UseMenuHotkey = 0\r\n"
    "MinimizeWMPortal = 0\r\n"
    "DisWinBGRecording = 0\r\n"
    "; \r\n"
    "; Hotkey Setting\r\n"
    "; \r\n"
    "UseStrgHotkey = 0\r\n"
    "UseAltHotkey = 0\r\n"
    "UseShiftHotkey = 0\r\n"
    "UseKeyHotkey = 0\r\n"
    "; \r\n"
    "; Settings Backup\r\n"
    "; \r\n"
    "ColorDistortionR = 1000\r\n"
    "ColorDistortionG = 1000\r\n"
    "ColorDistortionB = 1000\r\n"
    "; \r\n"
    "; Don't change if you not know what you are doing!\r\n"
    "; \r\n"
    "SkipUpdate = \r\n"
    "WMRPortalProcessName = MixedRealityPortal.exe\r\n"
    "OculusServiceName = OVRService\r\n"
    "SteamVRProcessName = vrmonitor.exe\r\n";

Settings Parse(const std::string& bytes) { return ParseSettings(bytes, true, Settings{}); }

std::string Render(const Settings& settings) { return RenderSettings(settings, L"V1.2 Beta"); }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

size_t CountOf(const std::string& text, char c) { return std::count(text.begin(), text.end(), c); }

Settings NonDefault() {
  Settings s;
  s.DarkMode = 2;
  s.StartMinimized = s.CheckForUpdate = s.CloseToTray = s.StartHMDwithSteam = 1;
  s.StopHMDwithSteam = s.AutoStartSteamVR = s.AutoStartOculus = s.UseMenuHotkey = 1;
  s.MinimizeWMPortal = s.DisWinBGRecording = s.UseStrgHotkey = s.UseAltHotkey = 1;
  s.UseShiftHotkey = 1;
  s.UseKeyHotkey = 256;
  s.ColorDistortionR = L"950";
  s.ColorDistortionG = L"1100";
  s.ColorDistortionB = L"1001";
  s.SkipUpdate = L"2024.1.2.3";
  s.WMRPortalProcessName = L"Port\u00E1l.exe";
  s.OculusServiceName = L"OVR Service";
  s.SteamVRProcessName = L"vr\U0001F600.exe";
  return s;
}

TEST(SettingsFile, DefaultFileIsExact) {
  const std::string file = Render(Settings{});
  EXPECT_EQ(file, kDefaultFile);
  EXPECT_EQ(file.substr(0, 5), "\xEF\xBB\xBF\r\n");
  EXPECT_TRUE(file.ends_with("\r\nSteamVRProcessName = vrmonitor.exe\r\n"));
  EXPECT_EQ(Parse(file), Settings{});
}

TEST(SettingsFile, NonDefaultSettingsRoundTrip) {
  const Settings s = NonDefault();
  EXPECT_EQ(Parse(Render(s)), s);
  EXPECT_TRUE(Contains(Render(s), "WMRPortalProcessName = Port\xC3\xA1l.exe\r\n"));
}

// Each flag has its own key: a swapped name would move the value elsewhere.
TEST(SettingsFile, EachFlagHasItsOwnKey) {
  const std::pair<const char*, std::uint8_t Settings::*> flags[] = {
      {"StartMinimized", &Settings::StartMinimized},
      {"CheckForUpdate", &Settings::CheckForUpdate},
      {"CloseToTray", &Settings::CloseToTray},
      {"StartHMDwithSteam", &Settings::StartHMDwithSteam},
      {"StopHMDwithSteam", &Settings::StopHMDwithSteam},
      {"AutoStartSteamVR", &Settings::AutoStartSteamVR},
      {"AutoStartOculus", &Settings::AutoStartOculus},
      {"UseMenuHotkey", &Settings::UseMenuHotkey},
      {"MinimizeWMPortal", &Settings::MinimizeWMPortal},
      {"DisWinBGRecording", &Settings::DisWinBGRecording},
      {"UseStrgHotkey", &Settings::UseStrgHotkey},
      {"UseAltHotkey", &Settings::UseAltHotkey},
      {"UseShiftHotkey", &Settings::UseShiftHotkey},
  };
  for (const auto& [name, field] : flags) {
    Settings expected;
    expected.*field = 1;
    EXPECT_EQ(Parse(std::string(name) + " = 1"), expected) << name;
    EXPECT_TRUE(Contains(Render(expected), std::string("\r\n") + name + " = 1\r\n")) << name;
  }
}

TEST(SettingsReading, FlagIsOnOnlyForOne) {
  for (const char* on : {"1", "01", "+1", "1abc", "1 "}) {
    EXPECT_EQ(Parse(std::string("CloseToTray = ") + on).CloseToTray, 1) << on;
  }
  for (const char* off : {"0", "2", "-1", "yes", "", "11"}) {
    EXPECT_EQ(Parse(std::string("CloseToTray = ") + off).CloseToTray, 0) << off;
  }
  const std::string file = Render(Parse("StartMinimized = 2"));
  EXPECT_TRUE(Contains(file, "\r\nStartMinimized = 0\r\n"));
}

TEST(SettingsReading, DarkModeKeepsEveryByteAndLightBeyond) {
  EXPECT_EQ(Parse("DarkMode = 7").DarkMode, 7);
  EXPECT_EQ(Parse("DarkMode = 255").DarkMode, 255);
  EXPECT_EQ(Parse("DarkMode = x").DarkMode, 0);
  for (const char* beyond : {"256", "257", "300", "-1", "99999999999999999999"}) {
    EXPECT_EQ(Parse(std::string("DarkMode = ") + beyond).DarkMode, 2) << beyond;
  }
}

TEST(SettingsReading, KeyIndexOutsideTableReadsZero) {
  EXPECT_EQ(Parse("UseKeyHotkey = 256").UseKeyHotkey, 256);
  EXPECT_EQ(Parse("UseKeyHotkey = 257").UseKeyHotkey, 0);
  EXPECT_EQ(Parse("UseKeyHotkey = -1").UseKeyHotkey, 0);
  EXPECT_TRUE(Contains(Render(Parse("UseKeyHotkey = 300")), "\r\nUseKeyHotkey = 0\r\n"));
  Settings negative;
  negative.UseKeyHotkey = -5;
  EXPECT_TRUE(Contains(Render(negative), "\r\nUseKeyHotkey = -5\r\n"));
}

TEST(SettingsReading, SkipUpdateNeedsThreeStopsAndNoControlCharacter) {
  EXPECT_EQ(Parse("SkipUpdate = 2021.3.2").SkipUpdate, L"");
  EXPECT_EQ(Parse("SkipUpdate = 2021.3.2.76").SkipUpdate, L"2021.3.2.76");
  EXPECT_EQ(Parse("SkipUpdate = 2021.3.2.76.1").SkipUpdate, L"");
  EXPECT_EQ(Parse("SkipUpdate = 2021.3.2.76\t").SkipUpdate, L"");
  EXPECT_EQ(Parse("SkipUpdate = 2021.3.2.76 ").SkipUpdate, L"2021.3.2.76 ");
}

TEST(SettingsReading, ProcessNamesAreReducedAndChecked) {
  Settings s = Parse(
      "WMRPortalProcessName = C:\\Program Files\\Portal\\Portal.exe\n"
      "SteamVRProcessName = /opt/steam/vr.exe\n"
      "OculusServiceName = Oculus\\OVR\n");
  EXPECT_EQ(s.WMRPortalProcessName, L"Portal.exe");
  EXPECT_EQ(s.SteamVRProcessName, L"vr.exe");
  EXPECT_EQ(s.OculusServiceName, L"OVRService");  // a service name is not reduced
  EXPECT_EQ(Parse("OculusServiceName = OVR:Service").OculusServiceName, L"OVRService");
  EXPECT_EQ(Parse("SteamVRProcessName = C:\\dir\\").SteamVRProcessName, L"vrmonitor.exe");
  EXPECT_EQ(Parse("SteamVRProcessName =").SteamVRProcessName, L"vrmonitor.exe");
  // A leading space would be lost on the next read.
  EXPECT_EQ(Parse("SteamVRProcessName = C:\\a\\ vr.exe").SteamVRProcessName, L"vrmonitor.exe");
}

TEST(SettingsReading, NameValidityTest) {
  for (char bad : std::string("\"*/:<>?\\|\x01\x1F")) {
    const std::string name = std::string("ab") + bad + "c";
    EXPECT_EQ(Parse("OculusServiceName = " + name).OculusServiceName, L"OVRService") << name;
  }
  EXPECT_EQ(Parse("OculusServiceName = " + std::string(256, 'x')).OculusServiceName,
            std::wstring(256, L'x'));
  EXPECT_EQ(Parse("OculusServiceName = " + std::string(257, 'x')).OculusServiceName, L"OVRService");
  // The length is counted in UTF-16 units, as Windows counts it.
  std::string emoji;
  for (int i = 0; i < 128; ++i) emoji += "\xF0\x9F\x98\x80";
  EXPECT_EQ(Parse("OculusServiceName = " + emoji).OculusServiceName, FromUtf8(emoji));
  EXPECT_EQ(Parse("OculusServiceName = x" + emoji).OculusServiceName, L"OVRService");
}

TEST(SettingsReading, ColorBackupIsReadOnlyWhenAsked) {
  Settings registry;
  registry.ColorDistortionR = L"901";
  registry.ColorDistortionG = L"902";
  registry.ColorDistortionB = L"903";
  const std::string file = "ColorDistortionR = 950\r\nColorDistortionG =\r\n";
  const Settings fromRegistry = ParseSettings(file, false, registry);
  EXPECT_EQ(fromRegistry.ColorDistortionR, L"901");
  EXPECT_EQ(fromRegistry.ColorDistortionG, L"902");
  EXPECT_EQ(fromRegistry.ColorDistortionB, L"903");
  const Settings fromFile = ParseSettings(file, true, registry);
  EXPECT_EQ(fromFile.ColorDistortionR, L"950");
  EXPECT_EQ(fromFile.ColorDistortionG, L"");
  EXPECT_EQ(fromFile.ColorDistortionB, L"1000");
  // Only the colour keys come from `base`.
  registry.DarkMode = 1;
  EXPECT_EQ(ParseSettings("", false, registry).DarkMode, 0);
}

TEST(SettingsParsing, KeysAreFoundIgnoringCase) {
  EXPECT_EQ(Parse("darkmode = 1").DarkMode, 1);
  EXPECT_EQ(Parse("STARTMINIMIZED=1").StartMinimized, 1);
  EXPECT_EQ(Parse("Dark Mode = 1").DarkMode, 0);
}

TEST(SettingsParsing, SectionHeaderHidesTheKeysBelowIt) {
  const std::string file = "CloseToTray = 1\r\n  [Extra]\r\nDarkMode = 1\r\nUseAltHotkey = 1\r\n";
  const Settings s = Parse(file);
  EXPECT_EQ(s.CloseToTray, 1);
  EXPECT_EQ(s.DarkMode, 0);
  EXPECT_EQ(s.UseAltHotkey, 0);
  EXPECT_FALSE(Contains(Render(s), "Extra"));
}

TEST(SettingsParsing, LineSyntax) {
  const Settings s = Parse(
      "\t DarkMode \t= \t 1\r"     // CR alone ends a line
      "CloseToTray=1\n"            // LF alone too
      "; UseAltHotkey = 1\r\n"     // comment
      "  ;UseShiftHotkey = 1\r\n"  // comment after blanks
      "UseStrgHotkey\r\n"          // no "=": found, with an empty value
      "UseStrgHotkey = 1\r\n"      // so the first match wins
      "UseMenuHotkey = 1\r\n"
      "usemenuhotkey = 0\r\n"       // a later duplicate is ignored
      "SkipUpdate = 1.2.3.4=x\r\n"  // the value runs to the end of the line
      "StartMinimized = 1");        // no final line end
  EXPECT_EQ(s.DarkMode, 1);
  EXPECT_EQ(s.CloseToTray, 1);
  EXPECT_EQ(s.UseAltHotkey, 0);
  EXPECT_EQ(s.UseShiftHotkey, 0);
  EXPECT_EQ(s.UseStrgHotkey, 0);
  EXPECT_EQ(s.UseMenuHotkey, 1);
  EXPECT_EQ(s.SkipUpdate, L"1.2.3.4=x");
  EXPECT_EQ(s.StartMinimized, 1);
}

TEST(SettingsParsing, FileWithoutMarkIsUtf8) {
  EXPECT_EQ(Parse(std::string("\xEF\xBB\xBF") + "DarkMode = 1").DarkMode, 1);
  EXPECT_EQ(Parse("WMRPortalProcessName = Port\xC3\xA1l.exe").WMRPortalProcessName,
            L"Port\u00E1l.exe");
  EXPECT_EQ(Parse("WMRPortalProcessName = P\xE1.exe").WMRPortalProcessName, L"P\uFFFD.exe");
}

// Values set in memory (a version from the download server, registry text)
// must not add lines to the file or smuggle in other keys.
TEST(SettingsWriting, ValuesCannotBreakTheFile) {
  Settings s;
  s.SkipUpdate = L"1.2.3.4\r\nDarkMode = 1";
  s.ColorDistortionR = L"1000\nStartMinimized = 1";
  s.OculusServiceName = L"OVR\rSvc";
  s.SteamVRProcessName = L"C:\\x\\vr.exe";
  const std::string file = RenderSettings(s, L"V1\r\nCloseToTray = 1");
  EXPECT_EQ(CountOf(file, '\n'), CountOf(kDefaultFile, '\n'));
  EXPECT_EQ(CountOf(file, '\r'), CountOf(kDefaultFile, '\r'));
  const Settings back = Parse(file);
  EXPECT_EQ(back.DarkMode, 0);
  EXPECT_EQ(back.StartMinimized, 0);
  EXPECT_EQ(back.CloseToTray, 0);
  EXPECT_EQ(back.SkipUpdate, L"");
  EXPECT_EQ(back.ColorDistortionR, L"1000");
  EXPECT_EQ(back.OculusServiceName, L"OVRService");
  EXPECT_EQ(back.SteamVRProcessName, L"vr.exe");
  for (const wchar_t* version : {L"1.2.3.4\x01", L" 1.2.3.4"}) {
    s.SkipUpdate = version;
    EXPECT_TRUE(Contains(Render(s), "\r\nSkipUpdate = \r\n"));
  }
}

class SettingsStorage : public testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

TEST_F(SettingsStorage, SavedFileIsReadBack) {
  ASSERT_TRUE(SaveSettings(NonDefault(), L"V1.2 Beta"));
  EXPECT_EQ(sim::FileBytes(L"vantrel.ini"), Render(NonDefault()));
  EXPECT_EQ(ReadSettings(true, Settings{}).settings, NonDefault());
}

TEST_F(SettingsStorage, FailedSaveReportsFalseAndKeepsTheOldFile) {
  sim::PutFile(kSettingsFileName, "DarkMode = 1\r\n");
  sim::FailNextReplace();
  EXPECT_FALSE(SaveSettings(Settings{}, L"V1"));
  EXPECT_EQ(ReadSettings(true, Settings{}).settings.DarkMode, 1);
}

TEST_F(SettingsStorage, MissingFileGivesDefaultsAndTheRegistryColors) {
  Settings registry;
  registry.ColorDistortionR = L"901";
  Settings expected;
  expected.ColorDistortionR = L"901";
  EXPECT_EQ(ReadSettings(false, registry).settings, expected);
}

// Random pieces of settings syntax, key names, UTF-8 fragments and bytes.
std::string RandomBytes(std::mt19937& rng) {
  static const std::string kSyntax = "= \t\r\n;[.1-\\:/";
  static const char* const kWords[] = {"\xEF\xBB\xBF",
                                       "\xC3",
                                       "\xE2\x82\xAC",
                                       "\xF0\x9F\x98",
                                       "300",
                                       "DarkMode",
                                       "SkipUpdate",
                                       "usekeyhotkey",
                                       "OculusServiceName",
                                       "CloseToTray",
                                       "ColorDistortionG",
                                       "WMRPortalProcessName"};
  std::string bytes;
  const int count = std::uniform_int_distribution<int>(0, 60)(rng);
  for (int i = 0; i < count; ++i) {
    const unsigned kind = rng() % 3;
    if (kind == 0) {
      bytes += static_cast<char>(rng());
    } else if (kind == 1) {
      bytes += kSyntax[rng() % kSyntax.size()];
    } else {
      bytes += kWords[rng() % std::size(kWords)];
    }
  }
  return bytes;
}

std::string Mutated(std::string bytes, std::mt19937& rng) {
  const int edits = std::uniform_int_distribution<int>(1, 8)(rng);
  for (int i = 0; i < edits && !bytes.empty(); ++i) {
    const size_t at = rng() % bytes.size();
    const unsigned kind = rng() % 3;
    if (kind == 0) {
      bytes[at] = static_cast<char>(rng());
    } else if (kind == 1) {
      bytes.erase(at, rng() % 16);
    } else {
      bytes.insert(at, RandomBytes(rng));
    }
  }
  return bytes;
}

// Whatever is read, writing it and reading again gives the same settings,
// and the written file keeps its fixed lines.
TEST(SettingsFuzz, RenderOfAnyParseIsAFixedPoint) {
  std::mt19937 rng(20240601);
  const std::string seeds[] = {kDefaultFile, Render(NonDefault())};
  for (int i = 0; i < 4000; ++i) {
    const std::string input = i % 2 ? RandomBytes(rng) : Mutated(seeds[rng() % 2], rng);
    for (bool readColors : {false, true}) {
      const Settings first = ParseSettings(input, readColors, NonDefault());
      const std::string file = RenderSettings(first, L"V1");
      ASSERT_EQ(ParseSettings(file, readColors, NonDefault()), first)
          << testing::PrintToString(input);
      ASSERT_EQ(CountOf(file, '\n'), CountOf(kDefaultFile, '\n'));
      ASSERT_EQ(CountOf(file, '\r'), CountOf(kDefaultFile, '\r'));
    }
  }
}

}  // namespace
