#include "companions/steam_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Folders = std::vector<std::wstring>;

std::string Key(int number, const std::string& path) {
  return "\t\t\t\t\"BaseInstallFolder_" + std::to_string(number) + "\"\t\t\"" + path + "\"\n";
}

std::string Config(const std::string& keys) {
  return "\"InstallConfigStore\"\n{\n\t\"Software\"\n\t{\n\t\t\"Valve\"\n\t\t{\n\t\t\t\"Steam\"\n"
         "\t\t\t{\n" +
         keys + "\t\t\t}\n\t\t}\n\t}\n}\n";
}

TEST(ConfigLibraryFolders, FollowsTheKeyNumbersAndSkipsMissingOnes) {
  // Keys 1 and 3 without 2, written in the file in the opposite order.
  const std::string config = Config(Key(3, "E:\\\\Games") + Key(1, "D:\\\\SteamLibrary"));
  EXPECT_EQ(ConfigLibraryFolders(config), (Folders{L"D:\\SteamLibrary", L"E:\\Games"}));
}

TEST(ConfigLibraryFolders, ReadsKeysOneToTwentyOnly) {
  const std::string config = Config(Key(21, "X:\\\\TooFar") + Key(20, "T:\\\\Last") +
                                    Key(12, "L:\\\\Twelve") + Key(0, "Z:\\\\Zero"));
  // "BaseInstallFolder_1" is no prefix match of _12 or _20: the closing quote
  // is part of the key searched for.
  EXPECT_EQ(ConfigLibraryFolders(config), (Folders{L"L:\\Twelve", L"T:\\Last"}));
}

TEST(ConfigLibraryFolders, FindsKeysWrittenInAnyCase) {
  const std::string config = Config(
      "\t\"baseinstallfolder_1\"\t\"D:\\\\Lower\"\n\t\"BASEINSTALLFOLDER_2\"\t\"E:\\\\Upper\"\n");
  EXPECT_EQ(ConfigLibraryFolders(config), (Folders{L"D:\\Lower", L"E:\\Upper"}));
}

TEST(ConfigLibraryFolders, UndoublesBackslashesButKeepsSingleOnes) {
  EXPECT_EQ(ConfigLibraryFolders(Config(Key(1, "D:\\\\SteamLibrary"))),
            Folders{L"D:\\SteamLibrary"});
  EXPECT_EQ(ConfigLibraryFolders(Config(Key(1, "\\\\\\\\server\\\\share"))),
            Folders{L"\\\\server\\share"});
  EXPECT_EQ(ConfigLibraryFolders(Config(Key(1, "D:\\Single"))), Folders{L"D:\\Single"});
  EXPECT_EQ(ConfigLibraryFolders(Config(Key(1, "D:/Forward/Slashes"))),
            Folders{L"D:/Forward/Slashes"});
}

TEST(ConfigLibraryFolders, LineWithFewerThanFourQuotesGivesAnEmptyEntry) {
  const std::string config = Config("\t\"BaseInstallFolder_1\"\t\"D:\\\\Cut off\n" +
                                    Key(2, "E:\\\\Fine") + "\t\"BaseInstallFolder_3\"\n");
  EXPECT_EQ(ConfigLibraryFolders(config), (Folders{L"", L"E:\\Fine", L""}));
}

TEST(ConfigLibraryFolders, TakesTheFirstOccurrenceAndOnlyItsLine) {
  // CR LF line ends and spaces around the line; the value never runs on
  // into the next line.
  const std::string config =
      "  \"BaseInstallFolder_1\"  \"D:\\\\A\"  \r\n"
      "\"BaseInstallFolder_1\" \"D:\\\\B\"\r\n";
  EXPECT_EQ(ConfigLibraryFolders(config), Folders{L"D:\\A"});
  EXPECT_EQ(ConfigLibraryFolders("\"BaseInstallFolder_1\"\n\"x\" \"D:\\\\Next\"\n"), Folders{L""});
  EXPECT_EQ(ConfigLibraryFolders("\"BaseInstallFolder_1\"\t\"D:\\\\End\""), Folders{L"D:\\End"});
}

TEST(ConfigLibraryFolders, EmptyOrForeignFileGivesNoFolders) {
  EXPECT_TRUE(ConfigLibraryFolders("").empty());
  const char bytes[] = "\0\xff\x01 BaseInstallFolder_1 \"\"";
  const std::string binary(bytes, sizeof(bytes) - 1);
  EXPECT_TRUE(ConfigLibraryFolders(binary).empty());
}

TEST(SteamFileText, ReadsUtf8AndFallsBackToSingleBytes) {
  EXPECT_EQ(SteamFileText("D:\\Spiele f\xc3\xbcr Steam"), L"D:\\Spiele f\u00fcr Steam");
  // Not UTF-8 (a legacy code page): every byte stays one character.
  EXPECT_EQ(SteamFileText("D:\\Spiele f\xfcr Steam"), L"D:\\Spiele f\u00fcr Steam");
  EXPECT_EQ(ConfigLibraryFolders(Key(1, "D:\\\\Biblioth\xc3\xa8que")),
            Folders{L"D:\\Biblioth\u00e8que"});
}

const char kLibraryFolders[] = R"("libraryfolders"
{
	"0"
	{
		"path"		"C:\\Program Files (x86)\\Steam"
		"label"		""
		"contentid"		"123"
		"apps"
		{
			"228980"		"1000"
		}
	}
	"1"
	{
		"path"		"D:\\SteamLibrary"
		"label"		"second \"disk\""
		"apps"
		{
			"250820"		"5000"
		}
	}
	"2"
	{
		"PATH"		"E:\\Games\\Steam Library"
	}
}
)";

TEST(LibraryFoldersVdfPaths, ReadsEveryLibraryPathInFileOrder) {
  EXPECT_EQ(LibraryFoldersVdfPaths(kLibraryFolders),
            (Folders{L"C:\\Program Files (x86)\\Steam", L"D:\\SteamLibrary",
                     L"E:\\Games\\Steam Library"}));
}

TEST(LibraryFoldersVdfPaths, TakesOnlyPathKeysOfALibraryBlock) {
  // A "path" at the top level or inside a library's "apps" block, a "path"
  // key whose value is a block, and an empty path are no libraries.
  const char vdf[] = R"("libraryfolders" { "path" "X:\\Top" "0" { "apps" { "path" "Y:\\Deep" }
    "path" { "a" "b" } "path" "" } "1" { "path" "D:\\Lib" } })";
  EXPECT_EQ(LibraryFoldersVdfPaths(vdf), Folders{L"D:\\Lib"});
}

TEST(LibraryFoldersVdfPaths, SurvivesBrokenFiles) {
  EXPECT_TRUE(LibraryFoldersVdfPaths("").empty());
  EXPECT_TRUE(LibraryFoldersVdfPaths("}}}} \"path\" \"X:\\\\\"").empty());
  // Cut off in the middle of the value: the text so far is all there is.
  EXPECT_EQ(LibraryFoldersVdfPaths("\"libraryfolders\" { \"0\" { \"path\" \"D:\\\\Cut"),
            Folders{L"D:\\Cut"});
  EXPECT_EQ(LibraryFoldersVdfPaths("// comment \"path\"\n\"l\" { \"0\" { \"path\" \"D:\\\\L\" } }"),
            Folders{L"D:\\L"});
}

TEST(AppendNewFolders, KeepsTheOrderAndDropsFoldersAlreadyListed) {
  Folders list{L"D:\\SteamLibrary", L""};
  AppendNewFolders(list, {L"C:\\Steam", L"d:/steamlibrary/", L"E:\\Lib", L"e:\\LIB\\"});
  EXPECT_EQ(list, (Folders{L"D:\\SteamLibrary", L"", L"C:\\Steam", L"E:\\Lib"}));
}

}  // namespace
