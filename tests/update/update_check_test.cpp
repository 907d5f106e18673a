// The update check against the simulated machine: every failure row with
// its log line, the skip rule, the dialog's results and the hand-over.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "base/clock.h"
#include "app/main_loop.h"
#include "base/program_state.h"
#include "base/text.h"
#include "base/worker_slot.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_controls.h"
#include "tests/sim/sim_registry.h"
#include "tests/sim/sim_update.h"
#include "tests/update/test_signer.h"
#include "ui/controls.h"
#include "base/event_log.h"
#include "update/sha3.h"
#include "update/update_check.h"

namespace {

constexpr wchar_t kOwnVersion[] = L"2021.3.2.76";
constexpr char kNewerVersion[] = "2021.3.3.1";

std::string Url(const std::string& path) { return ToUtf8(DownloadBaseUrl()) + path; }

std::string Archive(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 31 + 7);
  return bytes;
}

std::string DigestOf(const std::string& bytes) { return Sha3_224Hex(bytes.data(), bytes.size()); }

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ProgramSettings() = Settings{};
    Identity().fileVersion = kOwnVersion;
    ProgramFolderTrusted() = true;
    sim::AddMainWindowControls();
    TrustPolicyKey(signer.PublicKeyHex());
    // The log lives for the whole process; a line holding ":" is never
    // taken for a repeat of the previous test's last line.
    AddLogLine(L"test: start", 0);
    logStart = LogText().size();
  }

  // The log lines of this test as marker + message: "!" for errors.
  std::vector<std::wstring> Logged() const {
    std::vector<std::wstring> lines;
    const std::wstring text = LogTextFrom(logStart);
    size_t start = 0;
    for (size_t end; (end = text.find(L'\r', start)) != std::wstring::npos; start = end + 1) {
      lines.push_back(text.substr(start + 9, end - start - 9));
    }
    return lines;
  }

  // The administrator's policy names the key that signs releases.
  static void TrustPolicyKey(const std::string& hex) {
    sim::PutRegString(kHkeyLocalMachine, L"SOFTWARE\\Policies\\Vantrel", L"UpdatePublicKey",
                      std::wstring(hex.begin(), hex.end()));
  }
  // Signed as the release tool signs: the fields as given, "|" and the
  // signature over them.
  void ServeVersionFile(const std::string& fields) {
    ServeUnsignedVersionFile(fields + "|" + signer.SignatureHex(fields));
  }
  void ServeUnsignedVersionFile(const std::string& text) {
    sim::ServeHttp(Url("/vtrel.ver"), 200, text);
  }
  void ServeChangeLog(size_t characters) {
    sim::ServeHttp(Url("/change.log"), 200, std::string(characters, 'c'));
  }
  // A newer release whose archive is on the server with the right digest.
  void ServeRelease(const std::string& archive) {
    ServeVersionFile("Vantrel Next|" + std::string(kNewerVersion) + "|next.zip|" +
                     DigestOf(archive));
    ServeChangeLog(1025);
    sim::ServeHttp(Url("/next.zip"), 200, archive);
  }

  bool CleanedUp() const {
    return !sim::HasFile(L"vtrel.updater.exe") && !sim::HasDirectory(L"vtrel_tmp") &&
           !sim::HasFile(L"vtrel_tmp\\update.zip");
  }

  bool ButtonPaused() const { return Loop().updateButtonEnableTime == MonotonicSeconds() + 5; }

  update_test::TestSigner signer;
  size_t logStart = 0;
};

using Lines = std::vector<std::wstring>;

TEST(VersionRules, NewerByDateThenByBuild) {
  EXPECT_TRUE(IsNewerVersion(L"2021.3.3.1", L"2021.3.2.76"));
  EXPECT_TRUE(IsNewerVersion(L"2021.3.2.77", L"2021.3.2.76"));
  EXPECT_FALSE(IsNewerVersion(L"2021.3.2.76", L"2021.3.2.76"));
  EXPECT_FALSE(IsNewerVersion(L"2021.3.1.99", L"2021.3.2.76"));
  EXPECT_TRUE(IsNewerVersion(L"2022.1.1.0", L"2021.12.31.9"));
}

TEST(VersionRules, InvalidDatesCountBelowEveryValidOne) {
  EXPECT_EQ(VersionDate(L"2021.13.1.1"), -1);
  EXPECT_FALSE(IsNewerVersion(L"2021.13.1.1", L"2021.3.2.76"));
  EXPECT_EQ(VersionDate(L"2021.2.29.1"), -1);
  EXPECT_NE(VersionDate(L"2020.2.29.1"), -1);
  EXPECT_NE(VersionDate(L"2000.2.29.1"), -1);
  EXPECT_EQ(VersionDate(L"1969.12.31.1"), -1);
  EXPECT_EQ(VersionDate(L"1970.1.1.1"), 0);
  EXPECT_NE(VersionDate(L"2038.1.19.1"), -1);
  EXPECT_EQ(VersionDate(L"2038.1.20.1"), -1);
  EXPECT_EQ(VersionDate(L"2021.4.31.1"), -1);
  // An own version that cannot be read is older than any valid release.
  EXPECT_TRUE(IsNewerVersion(L"2021.3.2.76", L""));
  EXPECT_FALSE(IsNewerVersion(L"", L""));
}

TEST(VersionRules, NumbersReadTheirLeadingDigits) {
  EXPECT_EQ(VersionDate(L" 2021.\t3.02x.1"), VersionDate(L"2021.3.2.1"));
  EXPECT_TRUE(IsNewerVersion(L"2021.3.2.77\r\n", L"2021.3.2.76"));
  EXPECT_FALSE(IsNewerVersion(L"2021.3.2.+76", L"2021.3.2.76"));
}

TEST(VersionRules, VersionFileFieldsAreVerbatim) {
  const VersionFile release = SplitVersionFile(L" A |2021.3.2.76| a.zip |abc\r\n|extra");
  EXPECT_EQ(release.displayName, L" A ");
  EXPECT_EQ(release.version, L"2021.3.2.76");
  EXPECT_EQ(release.archiveName, L" a.zip ");
  EXPECT_EQ(release.checksum, L"abc\r\n");
  const VersionFile partial = SplitVersionFile(L"only a name");
  EXPECT_EQ(partial.displayName, L"only a name");
  EXPECT_EQ(partial.version, L"");
  EXPECT_EQ(partial.checksum, L"");
}

TEST(VersionRules, SkippedVersionWithControlCharactersIsNotStorable) {
  EXPECT_TRUE(CanStoreSkippedVersion(L"2021.3.2.76"));
  EXPECT_TRUE(CanStoreSkippedVersion(L""));
  EXPECT_FALSE(CanStoreSkippedVersion(L"2021.3.2.76\r\nCheckForUpdate = 0"));
  EXPECT_FALSE(CanStoreSkippedVersion(L"2021.3.2.76\t"));
}

TEST_F(UpdateCheckTest, NoRequestPossible) {
  sim::RefuseHttpRequests();
  UpdateCheck(true);
  EXPECT_EQ(Logged(), Lines{L"!Can not check for Updates (Online?)"});
  ASSERT_EQ(sim::UpdateMessages().size(), 1u);
  EXPECT_EQ(sim::UpdateMessages()[0].first, L"Vantrel Update Check");
  EXPECT_EQ(sim::UpdateMessages()[0].second, L"No new Version found");
  EXPECT_TRUE(ButtonPaused());
}

TEST_F(UpdateCheckTest, BadVersionFileAnswers) {
  struct Case {
    long status;
    std::string body;
  };
  for (const Case& answer : {Case{404, "Not Found"}, Case{301, "moved"}, Case{302, "moved"},
                             Case{500, "error"}, Case{200, ""}}) {
    SetUp();
    sim::ServeHttp(Url("/vtrel.ver"), answer.status, answer.body);
    UpdateCheck(false);
    EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"}) << answer.status;
    EXPECT_TRUE(sim::UpdateMessages().empty());
    EXPECT_TRUE(ButtonPaused());
  }
}

TEST_F(UpdateCheckTest, NoServerLogsAndManualShowsTheBox) {
  sim::PutFile(L"vtrel.updater.exe", "old");
  UpdateCheck(true);
  EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"});
  EXPECT_EQ(sim::UpdateMessages().size(), 1u);
  // The clean-up of a failed check removes an old updater.
  EXPECT_TRUE(CleanedUp());
}

TEST_F(UpdateCheckTest, VersionFileWithOnlyAName) {
  ServeVersionFile("2030.1.1.1|||");
  UpdateCheck(true);
  EXPECT_EQ(Logged(), Lines{L"!No Online Version found"});
  EXPECT_EQ(sim::UpdateMessages().size(), 1u);
}

// Before the change log or the archive is asked for: the version file must
// carry the trusted key's signature over its first four fields, exactly as
// served, in lowercase hexadecimal.
TEST_F(UpdateCheckTest, VersionFileWithoutAGoodSignatureEndsTheCheck) {
  const std::string fields = "Next|2030.1.1.1|next.zip|" + DigestOf(Archive(20000));
  const std::string signature = signer.SignatureHex(fields);
  std::string upper = signature;
  for (char& c : upper) c = static_cast<char>(std::toupper(c));
  for (const std::string& text :
       {fields, fields + "|", fields + "|" + upper, fields + "|" + signature.substr(1),
        fields + "|" + signature + "\r\n", fields + " |" + signature,
        "Next|2030.1.1.2|next.zip|" + DigestOf(Archive(20000)) + "|" + signature,
        "Next|2030.1.1.1|other.zip|" + DigestOf(Archive(20000)) + "|" + signature}) {
    SetUp();
    ServeUnsignedVersionFile(text);
    sim::ServeHttp(Url("/next.zip"), 200, Archive(20000));
    ServeChangeLog(1025);
    UpdateCheck(false);
    EXPECT_EQ(Logged(), Lines{L"!Update is not signed correctly"}) << text;
    EXPECT_EQ(sim::RequestedUrls(), std::vector<std::string>{Url("/vtrel.ver")});
    EXPECT_TRUE(sim::ChangeLogsShown().empty());
    EXPECT_TRUE(CleanedUp());
  }
  // Fields after the signature are not part of it; the signed ones count.
  SetUp();
  ServeUnsignedVersionFile(fields + "|" + signature + "|later");
  ServeChangeLog(1025);
  UpdateCheck(false);
  EXPECT_EQ(sim::ChangeLogsShown().size(), 1u);
}

// The policy's key replaces the built one: a release that it signed is
// taken (uppercase digits too); an empty or short one leaves the built key,
// which did not sign it.
TEST_F(UpdateCheckTest, PolicyKeyReplacesTheBuiltOne) {
  std::string upper = signer.PublicKeyHex();
  for (char& c : upper) c = static_cast<char>(std::toupper(c));
  for (const std::string& policy : {upper, std::string(), upper.substr(2)}) {
    SetUp();
    TrustPolicyKey(policy);
    ServeRelease(Archive(20000));
    UpdateCheck(false);
    EXPECT_EQ(sim::ChangeLogsShown().size(), policy == upper ? 1u : 0u) << policy;
  }
}

TEST_F(UpdateCheckTest, MissingArchiveName) {
  ServeVersionFile("Next|2030.1.1.1||abc");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!No Online Version found"});
}

TEST_F(UpdateCheckTest, AutomaticCheckWithoutAVersionMatchesAnEmptySkip) {
  sim::PutFile(L"vtrel.updater.exe", "old");
  ServeVersionFile("2030.1.1.1|||");
  UpdateCheck(false);
  EXPECT_TRUE(Logged().empty());
  EXPECT_TRUE(sim::UpdateMessages().empty());
  EXPECT_TRUE(sim::HasFile(L"vtrel.updater.exe"));
  EXPECT_TRUE(ButtonPaused());
}

TEST_F(UpdateCheckTest, SkippedVersionIsSilentOnlyAutomatically) {
  ProgramSettings().SkipUpdate = L"2021.3.3.1";
  sim::PutFile(L"vtrel.updater.exe", "old");
  ServeRelease(Archive(20000));
  UpdateCheck(false);
  EXPECT_TRUE(Logged().empty());
  EXPECT_TRUE(sim::ChangeLogsShown().empty());
  EXPECT_TRUE(sim::HasFile(L"vtrel.updater.exe"));

  UpdateCheck(true);
  EXPECT_EQ(Logged(), Lines{L"!New Version Vantrel Next (2021.3.3.1)"});
  EXPECT_EQ(sim::ChangeLogsShown().size(), 1u);
}

TEST_F(UpdateCheckTest, SkipCompareIsExact) {
  ProgramSettings().SkipUpdate = L"2021.3.3.01";
  ServeRelease(Archive(20000));
  UpdateCheck(false);
  EXPECT_EQ(sim::ChangeLogsShown().size(), 1u);
}

TEST_F(UpdateCheckTest, NotNewer) {
  ServeVersionFile("Same|2021.3.2.76|same.zip|abc");
  UpdateCheck(true);
  EXPECT_EQ(Logged(), Lines{L" No new Version found"});
  EXPECT_EQ(sim::UpdateMessages().size(), 1u);
  EXPECT_TRUE(sim::ChangeLogsShown().empty());
}

TEST_F(UpdateCheckTest, MonthThirteenIsNotNewer) {
  ServeVersionFile("Odd|2021.13.2.76|odd.zip|abc");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L" No new Version found"});
}

TEST_F(UpdateCheckTest, ChangeLogMustBeLongerThan1024Characters) {
  ServeRelease(Archive(20000));
  ServeChangeLog(1024);
  ProgramSettings().SkipUpdate = L"2000.1.1.1";
  UpdateCheck(false);
  EXPECT_EQ(Logged(),
            (Lines{L"!New Version Vantrel Next (2021.3.3.1)", L"!Can not read Changelog"}));
  EXPECT_TRUE(sim::ChangeLogsShown().empty());
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"");
  EXPECT_NE(sim::FileBytes(L"Vantrel.ini").find("SkipUpdate = \r\n"), std::string::npos);
  EXPECT_TRUE(CleanedUp());

  SetUp();
  ServeRelease(Archive(20000));
  UpdateCheck(false);
  ASSERT_EQ(sim::ChangeLogsShown().size(), 1u);
  EXPECT_EQ(sim::ChangeLogsShown()[0].first,
            L"Vantrel - New Update found: Vantrel Next (2021.3.3.1)");
  EXPECT_EQ(sim::ChangeLogsShown()[0].second, std::wstring(1025, L'c'));
}

TEST_F(UpdateCheckTest, ChangeLogErrorPage) {
  ServeRelease(Archive(20000));
  sim::ServeHttp(Url("/change.log"), 404, std::string(2000, 'x'));
  UpdateCheck(false);
  EXPECT_EQ(Logged().back(), L"!Can not read Changelog");
}

TEST_F(UpdateCheckTest, SkipStoresTheVersionAndCancelClearsIt) {
  ServeRelease(Archive(20000));
  sim::AnswerChangeLog(kChangeLogSkip);
  UpdateCheck(false);
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"2021.3.3.1");
  EXPECT_NE(sim::FileBytes(L"Vantrel.ini").find("SkipUpdate = 2021.3.3.1\r\n"), std::string::npos);
  EXPECT_TRUE(CleanedUp());

  sim::AnswerChangeLog(kChangeLogCancel);
  UpdateCheck(true);
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"");
  EXPECT_TRUE(sim::UpdaterStarts().empty());
}

TEST_F(UpdateCheckTest, SkipNeverWritesALineBreakIntoTheSettings) {
  const std::string archive = Archive(20000);
  ServeVersionFile("Next|2030.1.1.1\r\nCheckForUpdate = 0|next.zip|" + DigestOf(archive));
  ServeChangeLog(1025);
  ProgramSettings().SkipUpdate = L"2000.1.1.1";
  ProgramSettings().CheckForUpdate = 1;
  sim::AnswerChangeLog(kChangeLogSkip);
  UpdateCheck(false);
  ASSERT_EQ(sim::ChangeLogsShown().size(), 1u);
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"2000.1.1.1");
  const std::string file = sim::FileBytes(L"Vantrel.ini");
  EXPECT_EQ(file.find("CheckForUpdate = 0"), std::string::npos);
  EXPECT_NE(file.find("CheckForUpdate = 1"), std::string::npos);
}

class UpdateAgreed : public UpdateCheckTest {
 protected:
  void SetUp() override {
    UpdateCheckTest::SetUp();
    sim::AnswerChangeLog(kChangeLogUpdate);
    ProgramSettings().SkipUpdate = L"2000.1.1.1";
  }
  std::wstring LastLine() const { return Logged().empty() ? L"" : Logged().back(); }
};

TEST_F(UpdateAgreed, UpdaterCannotBeWritten) {
  ServeRelease(Archive(20000));
  sim::FailUpdaterWrite();
  UpdateCheck(true);
  EXPECT_EQ(LastLine(), L"!Can not write Updater to Disk");
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"");
  EXPECT_TRUE(CleanedUp());
  EXPECT_TRUE(ButtonPaused());
}

TEST_F(UpdateAgreed, NetworkLayerCannotStart) {
  ServeRelease(Archive(20000));
  sim::FailNetworking();
  UpdateCheck(true);
  EXPECT_EQ(LastLine(), L"!New Version Vantrel Next (2021.3.3.1)");
  EXPECT_TRUE(CleanedUp());
}

TEST_F(UpdateAgreed, DownloadFails) {
  ServeVersionFile("Next|2021.3.3.1|gone.zip|abc");
  ServeChangeLog(2000);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not download Update File");
  EXPECT_TRUE(CleanedUp());
}

TEST_F(UpdateAgreed, ErrorPageUpToTheSizeLimitIsNoArchive) {
  const std::string page(10240, 'p');
  ServeVersionFile("Next|2021.3.3.1|next.zip|" + DigestOf(page));
  ServeChangeLog(2000);
  sim::ServeHttp(Url("/next.zip"), 404, page);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not find Update File on DL Server");
  EXPECT_TRUE(CleanedUp());
}

TEST_F(UpdateAgreed, LargerErrorPageFailsTheChecksum) {
  ServeRelease(Archive(20000));
  sim::ServeHttp(Url("/next.zip"), 404, std::string(10241, 'p'));
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Checksum of Update File is wrong");
  EXPECT_TRUE(CleanedUp());
}

TEST_F(UpdateAgreed, ChecksumWithALineBreakFails) {
  const std::string archive = Archive(20000);
  ServeVersionFile("Next|2021.3.3.1|next.zip|" + DigestOf(archive) + "\r\n");
  ServeChangeLog(2000);
  sim::ServeHttp(Url("/next.zip"), 200, archive);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Checksum of Update File is wrong");
  EXPECT_TRUE(sim::UpdaterStarts().empty());
}

TEST_F(UpdateAgreed, UpdaterCannotStart) {
  ServeRelease(Archive(20000));
  sim::FailUpdaterStart();
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not run vtrel.updater.exe");
  EXPECT_TRUE(CleanedUp());
  EXPECT_EQ(sim::EndedForUpdateAtMs(), -1);
}

TEST_F(UpdateAgreed, VerifiedArchiveHandsOverToTheUpdater) {
  const std::string archive = Archive(10241);
  ServeRelease(archive);
  UpdateCheck(false);
  EXPECT_EQ(sim::FileBytes(L"vtrel.updater.exe"), sim::UpdaterImageBytes());
  EXPECT_EQ(sim::FileBytes(L"vtrel_tmp\\update.zip"), archive);
  ASSERT_EQ(sim::UpdaterStarts().size(), 1u);
  EXPECT_EQ(sim::UpdaterStarts()[0], L"/update " + FromUtf8(DigestOf(archive)));
  EXPECT_EQ(sim::EndedForUpdateAtMs(), 0);
  EXPECT_EQ(sim::RequestedUrls(),
            (std::vector<std::string>{Url("/vtrel.ver"), Url("/change.log"), Url("/next.zip")}));
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"");
  // No clean-up and no pause: the program is ending.
  EXPECT_EQ(Loop().updateButtonEnableTime, -1);
}

void NoWork() {}

// The updater, which closes the program, starts only after the worker.
TEST_F(UpdateAgreed, HandOverWaitsForTheHeadsetWorker) {
  ServeRelease(Archive(20000));
  ASSERT_TRUE(StartWorker(NoWork));
  size_t startsWhileWorking = 0;
  sim::At(350, [&] {
    startsWhileWorking = sim::UpdaterStarts().size();
    sim::FinishWorker();
  });
  UpdateCheck(false);
  EXPECT_EQ(startsWhileWorking, 0u);
  EXPECT_EQ(sim::UpdaterStarts().size(), 1u);
  EXPECT_EQ(sim::EndedForUpdateAtMs(), 400);
}

// A worker stuck in a device call is not waited for longer than the
// program's own end would wait: the update is given up.
TEST_F(UpdateAgreed, HandOverGivesUpOnAStuckHeadsetWorker) {
  ServeRelease(Archive(20000));
  ASSERT_TRUE(StartWorker(NoWork));
  sim::At(kWorkerEndWaitSeconds * 1000 + 5000, [] { sim::FinishWorker(); });
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not update while the headset is being switched");
  EXPECT_TRUE(sim::UpdaterStarts().empty());
  EXPECT_EQ(sim::EndedForUpdateAtMs(), -1);
  EXPECT_TRUE(CleanedUp());
  EXPECT_LE(MonotonicSeconds(), kWorkerEndWaitSeconds + 1);
}

TEST_F(UpdateCheckTest, LoopEnablesTheLabelAfterThePause) {
  SetControlEnabled(kLabelCheckForUpdate, false);
  UpdateCheck(true);
  const std::int64_t enableTime = Loop().updateButtonEnableTime;
  ASSERT_GE(enableTime, 0);
  while (MonotonicSeconds() <= enableTime) {
    RunLoopTurn(LoopEvent{});
    EXPECT_FALSE(sim::Control(kLabelCheckForUpdate).enabled);
    SleepMs(50);
  }
  RunLoopTurn(LoopEvent{});
  EXPECT_TRUE(sim::Control(kLabelCheckForUpdate).enabled);
  EXPECT_EQ(Loop().updateButtonEnableTime, -1);
}

}  // namespace
