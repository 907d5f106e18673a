// The updater's steps against the simulated machine: closing the program,
// the entry checks, tar and the renames that never overwrite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/product.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_update.h"
#include "update/file_digest.h"
#include "update/sha3.h"
#include "updater/updater.h"

namespace {

constexpr wchar_t kFolder[] = L"C:\\Vantrel\\";
constexpr wchar_t kArchive[] = L"C:\\Vantrel\\vtrel_tmp\\update.zip";

std::wstring Path(const std::wstring& name) { return std::wstring(kFolder) + name; }

class Updater : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    sim::PutFile(Path(L"Vantrel.exe"), "old program");
    sim::PutFile(Path(L"ReadMe.txt"), "old readme");
    sim::PutDirectory(Path(L"vtrel_tmp"));
    sim::PutFile(kArchive, archive);
    sim::SetArchiveEntries({{L"Vantrel.exe", "MZ new program"}, {L"ReadMe.txt", "new readme"}});
  }

  std::vector<std::wstring> ValidParameters() const {
    const std::string digest = Sha3_224Hex(archive.data(), archive.size());
    return {L"/update", std::wstring(digest.begin(), digest.end())};
  }

  // Posts of WM_CLOSE with wParam 111, as the program would see them.
  size_t QuitRequests() const {
    size_t count = 0;
    for (const sim::PostedClose& close : sim::PostedCloses()) count += close.wParam == 111;
    return count;
  }

  std::string archive = "PK archive bytes";
};

TEST_F(Updater, EntryChecks) {
  EXPECT_TRUE(UpdateMayProceed(ValidParameters(), kFolder));
  EXPECT_FALSE(UpdateMayProceed({}, kFolder));
  EXPECT_FALSE(UpdateMayProceed({L"/update"}, kFolder));
  std::vector<std::wstring> extra = ValidParameters();
  extra.push_back(L"more");
  EXPECT_FALSE(UpdateMayProceed(extra, kFolder));
  EXPECT_FALSE(UpdateMayProceed({L"/UPDATE", ValidParameters()[1]}, kFolder));
  EXPECT_FALSE(UpdateMayProceed({L"/update", ValidParameters()[1] + L" "}, kFolder));
  sim::PutFile(kArchive, archive + "x");
  EXPECT_FALSE(UpdateMayProceed(ValidParameters(), kFolder));
}

TEST_F(Updater, MissingArchiveStopsTheUpdate) {
  const std::vector<std::wstring> parameters = ValidParameters();
  sim::Reset();
  EXPECT_FALSE(UpdateMayProceed(parameters, kFolder));
}

TEST_F(Updater, ReplacesBothFilesAfterTheProgramHasEnded) {
  const ProcessId program = sim::StartProcess(Path(L"Vantrel.exe"));
  sim::OpenWindow(program, kMainWindowClass);
  RunUpdateWorker(kFolder, true);
  EXPECT_FALSE(sim::IsRunning(program));
  ASSERT_EQ(QuitRequests(), 1u);
  EXPECT_EQ(sim::PostedCloses()[0].atMs, 2000);
  EXPECT_EQ(sim::TarFolders(), std::vector<std::wstring>{L"C:\\Vantrel\\vtrel_tmp"});
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe.old")), "old program");
  EXPECT_EQ(sim::FileBytes(Path(L"ReadMe.txt")), "new readme");
  EXPECT_EQ(sim::FileBytes(Path(L"ReadMe.txt.old")), "old readme");
  EXPECT_EQ(sim::NowMs(), 2000 + 250 + 1000);
}

TEST_F(Updater, WithoutParametersTheProgramIsClosedButNothingChanges) {
  const ProcessId program = sim::StartProcess(Path(L"Vantrel.exe"));
  sim::OpenWindow(program, kMainWindowClass);
  RunUpdateWorker(kFolder, UpdateMayProceed({}, kFolder));
  EXPECT_FALSE(sim::IsRunning(program));
  EXPECT_TRUE(sim::TarFolders().empty());
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "old program");
  EXPECT_FALSE(sim::HasFile(Path(L"Vantrel.exe.old")));
}

TEST_F(Updater, NoRunningProgramMeansNoClosingAttempt) {
  RunUpdateWorker(kFolder, true);
  EXPECT_TRUE(sim::PostedCloses().empty());
  EXPECT_EQ(sim::NowMs(), 2000 + 1000);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
}

TEST_F(Updater, ProgramThatOnlyHidesIsEndedAfter21Attempts) {
  const ProcessId program = sim::StartProcess(L"c:/VANTREL/vantrel.exe");
  sim::OpenWindow(program, L"vantrelmainwindow", sim::CloseReaction::kHides);
  RunUpdateWorker(kFolder, true);
  EXPECT_FALSE(sim::IsRunning(program));
  EXPECT_EQ(QuitRequests(), 21u);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
  EXPECT_EQ(sim::NowMs(), 2000 + 21 * 250 + 250 + 1000);
}

// Only the program of the updater's own folder is closed: a copy of another
// folder keeps running, even one with the program's window; a copy of its
// own folder that shows no window is ended once the requests have run out.
TEST_F(Updater, OnlyTheProgramOfItsFolderIsClosed) {
  const ProcessId elsewhere = sim::StartProcess(L"C:\\Other\\Vantrel.exe");
  sim::OpenWindow(elsewhere, kMainWindowClass, sim::CloseReaction::kEnds);
  const ProcessId windowless = sim::StartProcess(Path(L"Vantrel.exe"));
  RunUpdateWorker(kFolder, true);
  EXPECT_TRUE(sim::PostedCloses().empty());
  EXPECT_TRUE(sim::IsRunning(elsewhere));
  EXPECT_FALSE(sim::IsRunning(windowless));
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
}

// The old read-me steps aside only for a new one.
TEST_F(Updater, ArchiveWithOnlyTheProgram) {
  sim::SetArchiveEntries({{L"Vantrel.exe", "MZ new program"}});
  RunUpdateWorker(kFolder, true);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
  EXPECT_EQ(sim::FileBytes(Path(L"ReadMe.txt")), "old readme");
  EXPECT_FALSE(sim::HasFile(Path(L"ReadMe.txt.old")));
}

// From before the digest is taken until tar has ended nobody can change the
// archive; then it is let go, so the next start can remove it.
TEST_F(Updater, ArchiveIsHeldFromTheDigestUntilTarHasEnded) {
  const std::vector<std::wstring> parameters = ValidParameters();
  ASSERT_TRUE(UpdateMayProceed(parameters, kFolder));
  RunUpdateWorker(kFolder, true);
  EXPECT_EQ(sim::ArchivesHeldDuringTar(), std::vector<std::wstring>{kArchive});
  EXPECT_EQ(sim::HeldArchive(), L"");
}

// A file that cannot be read has no digest; an empty expected one does not
// make it match.
TEST(FileDigest, UnreadableFileMatchesNoDigest) {
  sim::Reset();
  EXPECT_FALSE(FileHasDigest(L"C:\\Vantrel\\missing.zip", L""));
}

TEST_F(Updater, LeftoverOldFileBlocksTheExchange) {
  sim::PutFile(Path(L"Vantrel.exe.old"), "older program");
  RunUpdateWorker(kFolder, true);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "old program");
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe.old")), "older program");
  EXPECT_EQ(sim::FileBytes(Path(L"vtrel_tmp\\Vantrel.exe")), "MZ new program");
  // The read-me is not blocked and is exchanged all the same.
  EXPECT_EQ(sim::FileBytes(Path(L"ReadMe.txt")), "new readme");
}

TEST_F(Updater, FirstInstallWithoutOldFiles) {
  sim::Reset();
  sim::SetArchiveEntries({{L"Vantrel.exe", "MZ new program"}, {L"ReadMe.txt", "new readme"}});
  RunUpdateWorker(kFolder, true);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "MZ new program");
  EXPECT_FALSE(sim::HasFile(Path(L"Vantrel.exe.old")));
}

TEST_F(Updater, MissingTarChangesNothing) {
  sim::RemoveTar();
  RunUpdateWorker(kFolder, true);
  EXPECT_EQ(sim::FileBytes(Path(L"Vantrel.exe")), "old program");
  EXPECT_FALSE(sim::HasFile(Path(L"Vantrel.exe.old")));
}

TEST(UpdaterProgress, DotsCycleFromNoneToThree) {
  int dots = 0;
  std::vector<std::wstring> texts;
  for (int turn = 0; turn < 5; ++turn) {
    texts.push_back(ProgressText(dots));
    dots = NextProgressDots(dots);
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"Updating Vantrel", L"Updating Vantrel.",
                                              L"Updating Vantrel..", L"Updating Vantrel...",
                                              L"Updating Vantrel"}));
}

}  // namespace
