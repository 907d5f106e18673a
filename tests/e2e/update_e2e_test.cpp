// The self-update under Wine, end to end: the real Vantrel.exe checks the
// local HTTPS server, shows the change log, hands over to the real updater,
// which replaces the program through tar and starts the new version.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "base/run_program.h"
#include "e2e_paths.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/simulated_headset.h"
#include "tests/update/test_server.h"
#include "tests/update/test_server_paths.h"
#include "tests/update/update_policy.h"
#include "update/sha3.h"
#include "update/version_info.h"

namespace {

using e2e::ProgramFolder;
using e2e::RunningProgram;
using update_test::TestServer;

constexpr DWORD kStartTimeoutMs = 20000;
// The updater waits 2 s for the program, then tar, the renames and 1 s.
constexpr DWORD kUpdateTimeoutMs = 30000;
constexpr wchar_t kTitlePrefix[] = L"Vantrel - V";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// A Wine path on drive Z: as the Linux side names it.
std::string HostPath(const std::wstring& path) {
  std::string host = Narrow(path.substr(2));
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  return host;
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

// The program's own version resource, as bytes; the updater carried inside
// the program has one of its own.
std::string VersionResourceOf(const std::wstring& path) {
  HMODULE file = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (file == nullptr) return "";
  std::string bytes;
  if (HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION)) {
    const void* data = LockResource(LoadResource(file, found));
    if (data != nullptr) bytes.assign(static_cast<const char*>(data), SizeofResource(file, found));
  }
  FreeLibrary(file);
  return bytes;
}

// The built program with its build number raised by one: the next version.
std::string NextVersionOf(const std::wstring& path, std::string program) {
  const std::string resource = VersionResourceOf(path);
  const size_t block = resource.empty() ? std::string::npos : program.find(resource);
  if (block == std::string::npos) return "";
  const size_t at = program.find(std::string("\xBD\x04\xEF\xFE", 4), block);
  if (at == std::string::npos || at >= block + resource.size()) return "";
  DWORD fileVersionLs = 0;
  memcpy(&fileVersionLs, program.data() + at + 12, 4);
  ++fileVersionLs;
  memcpy(program.data() + at + 12, &fileVersionLs, 4);
  return program;
}

std::wstring RaisedBuild(const std::wstring& version) {
  const size_t dot = version.find_last_of(L'.');
  return version.substr(0, dot + 1) + std::to_wstring(std::stoi(version.substr(dot + 1)) + 1);
}

struct FoundWindow {
  std::wstring program;
  DWORD excludedProcess;
  DWORD process;
};

std::wstring ImageOf(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t image[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (!process || !QueryFullProcessImageNameW(process.Get(), 0, image, &length)) return L"";
  return std::wstring(image, length);
}

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<FoundWindow*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->excludedProcess) return TRUE;
  if (e2e::WindowTitle(window).rfind(kTitlePrefix, 0) != 0) return TRUE;
  if (lstrcmpiW(ImageOf(owner).c_str(), search->program.c_str()) != 0) return TRUE;
  search->process = owner;
  return FALSE;
}

// A main window of `program` in a process other than `excluded`: the copy
// the updater started. Owned by the test from then on, so it is ended at the
// end.
RunningProgram WaitForStartedProgram(const std::wstring& program, DWORD excluded, DWORD timeoutMs) {
  FoundWindow search{program, excluded, 0};
  e2e::WaitUntil(
      [&] {
        search.process = 0;
        EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.process != 0;
      },
      timeoutMs);
  if (search.process == 0) return RunningProgram();
  UniqueHandle process(OpenProcess(
      PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, search.process));
  return RunningProgram(std::move(process), search.process);
}

struct DialogSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || std::wstring(className) != L"VantrelChangeLog") return TRUE;
  search->found = window;
  return FALSE;
}

HWND WaitForChangeLog(DWORD process) {
  DialogSearch search{process, nullptr};
  e2e::WaitUntil(
      [&] {
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      kStartTimeoutMs);
  return search.found;
}

void ClickLabel(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class UpdateEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.started());
    update_test::SetUpdatePolicy(server.Url() + "/dl", server.CaFile(), server.PublicKeyHex());
    update_test::AllowUnprotectedFolder();
    // Wine has no tar.exe; the program runs the system folder's, so the
    // stand-in goes there.
    ASSERT_TRUE(CopyFileW((FolderOf(kStandInProgram) + L"\\tar.exe").c_str(),
                          SystemProgramPath(L"tar.exe").c_str(), FALSE));
    oldProgram = ReadBytes(folder.PathOf(L"Vantrel.exe"));
    ownVersion = ReadFileVersion(folder.PathOf(L"Vantrel.exe"));
    ASSERT_FALSE(ownVersion.empty());
  }

  void TearDown() override { update_test::RemoveUpdatePolicy(); }

  // The program at start-up, with its automatic check, until `logged` is in
  // its log view.
  void StartAndWaitForLog(const std::wstring& logged) {
    folder.Write(L"Vantrel.ini", "CheckForUpdate = 1\r\n");
    RunningProgram program = e2e::Start(folder);
    HWND window = e2e::WaitForWindow(program.id(), kTitlePrefix, kUpdateTimeoutMs);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(e2e::WaitForControlText(window, 34, logged, kUpdateTimeoutMs));
  }

  // The program at start-up, with its automatic check, once the user agreed
  // to the update its change log offers: its main window, or null.
  HWND StartAndAgreeToTheUpdate() {
    folder.Write(L"Vantrel.ini", "CheckForUpdate = 1\r\n");
    checking = e2e::Start(folder);
    HWND dialog = WaitForChangeLog(checking.id());
    if (dialog == nullptr) return nullptr;
    ClickLabel(dialog, 7);
    return e2e::WaitForWindow(checking.id(), kTitlePrefix, kStartTimeoutMs);
  }

  // Makes the next version's release with the release tool, signed by
  // `key` (default: the test publisher's), and serves it; `leftOut` names an
  // entry taken out of its archive again.
  void PublishNextVersion(const char* leftOut = nullptr, std::string key = "") {
    if (key.empty()) key = server.SigningKey();
    const std::wstring release = folder.PathOf(L"release");
    CreateDirectoryW(release.c_str(), nullptr);
    newProgram = NextVersionOf(folder.PathOf(L"Vantrel.exe"), oldProgram);
    ASSERT_FALSE(newProgram.empty());
    folder.Write(L"release\\Vantrel.exe", newProgram);
    std::string changes = "Vantrel next\r\n\r\n";
    while (changes.size() <= 1100) changes += "- Fixed one more thing.\r\n";
    folder.Write(L"release\\changes.txt", changes);
    const std::string out = HostPath(folder.PathOf(L"release\\out"));
    ASSERT_EQ(
        update_test::RunHostCommand({"/bin/bash", kReleaseScript, "--key", key, "--test-release",
                                     HostPath(folder.PathOf(L"release\\Vantrel.exe")), kUserReadMe,
                                     HostPath(release + L"\\changes.txt"), out, "Vantrel Next"}),
        0);
    for (const wchar_t* name : {L"vtrel.ver", L"change.log", L"update.zip"}) {
      server.Put("dl/" + Narrow(name), ReadBytes(release + L"\\out\\" + name));
    }
    archive = ReadBytes(release + L"\\out\\update.zip");
    versionFile = ReadBytes(release + L"\\out\\vtrel.ver");
    if (leftOut != nullptr) {
      ASSERT_EQ(
          update_test::RunHostCommand({"/usr/bin/zip", "-q", "-d", out + "/update.zip", leftOut}),
          0);
      archive = ReadBytes(release + L"\\out\\update.zip");
    }
  }

  // An archive of the given entries, made with zip.
  void ArchiveOf(const std::vector<std::pair<std::wstring, std::string>>& entries) {
    const std::wstring sources = folder.PathOf(L"zip");
    CreateDirectoryW(sources.c_str(), nullptr);
    std::vector<std::string> command = {"/usr/bin/zip", "-q", "-j",
                                        HostPath(sources + L"\\made.zip")};
    for (const auto& [name, bytes] : entries) {
      folder.Write(L"zip\\" + name, bytes);
      command.push_back(HostPath(sources + L"\\" + name));
    }
    ASSERT_EQ(update_test::RunHostCommand(command), 0);
    archive = ReadBytes(sources + L"\\made.zip");
  }

  // The updater, started with a verified archive that brings no usable
  // program, leaves the old program and the old read-me as they were and
  // starts the old program again.
  void ExpectTheOldProgramKept() {
    const std::wstring digest = PlaceArchiveForTheUpdater();
    folder.Write(L"ReadMe.txt", "old readme");
    RunUpdaterWithoutTheProgram(L"/update " + digest);
    EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
    EXPECT_EQ(folder.Read(L"ReadMe.txt"), "old readme");
    EXPECT_FALSE(folder.Exists(L"Vantrel.exe.old"));
    EXPECT_FALSE(folder.Exists(L"ReadMe.txt.old"));
  }

  // Puts the release's archive where the program leaves it for the updater.
  std::wstring PlaceArchiveForTheUpdater() {
    folder.MakeFolder(L"vtrel_tmp");
    folder.Write(L"vtrel_tmp\\update.zip", archive);
    folder.Write(L"vtrel.updater.exe", ReadBytes(FolderOf(kBuiltProgram) + L"\\vtrel.updater.exe"));
    return Widen(Sha3_224Hex(archive.data(), archive.size()));
  }

  RunningProgram StartUpdater(const std::wstring& parameters) {
    std::wstring commandLine = L"\"" + folder.PathOf(L"vtrel.updater.exe") + L"\" " + parameters;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.path().c_str(), &startup, &started)) {
      ADD_FAILURE() << "cannot start the updater";
      return RunningProgram();
    }
    CloseHandle(started.hThread);
    return RunningProgram(UniqueHandle(started.hProcess), started.dwProcessId);
  }

  // The updater while no program runs, to its end and the start of a
  // program, which must then be running.
  void RunUpdaterWithoutTheProgram(const std::wstring& parameters) {
    RunningProgram updater = StartUpdater(parameters);
    ASSERT_TRUE(updater.WaitForExit(kUpdateTimeoutMs));
    restarted = WaitForStartedProgram(folder.PathOf(L"Vantrel.exe"), 0, kStartTimeoutMs);
    EXPECT_TRUE(restarted.IsRunning());
  }

  bool LeftoversRemoved() const {
    return !folder.Exists(L"vtrel.updater.exe") && !folder.Exists(L"Vantrel.exe.old") &&
           !folder.Exists(L"ReadMe.txt.old") && !folder.Exists(L"vtrel_tmp");
  }

  TestServer server{"e2e"};
  ProgramFolder folder;
  std::string oldProgram;
  std::string newProgram;
  std::string archive;
  std::string versionFile;
  std::wstring ownVersion;
  RunningProgram checking;   // the one StartAndAgreeToTheUpdate started
  RunningProgram restarted;  // the program the updater started
};

// Signed with the key the build carries: no policy names another.
TEST_F(UpdateEndToEnd, NewVersionReplacesTheRunningProgram) {
  if (std::string(kDevelopmentSigningKey).empty()) GTEST_SKIP() << "built with a publisher's key";
  update_test::SetUpdatePolicy(server.Url() + "/dl", server.CaFile());
  PublishNextVersion(nullptr, kDevelopmentSigningKey);
  EXPECT_EQ(versionFile.substr(0, versionFile.find("|update.zip|")),
            "Vantrel Next|" + Narrow(RaisedBuild(ownVersion)));
  folder.Write(L"Vantrel.ini", "CheckForUpdate = 1\r\n");
  RunningProgram old = e2e::Start(folder);
  HWND dialog = WaitForChangeLog(old.id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(e2e::WindowTitle(dialog),
            L"Vantrel - New Update found: Vantrel Next (" + RaisedBuild(ownVersion) + L")");
  e2e::SaveScreenshot(L"update-changelog");
  ClickLabel(dialog, 7);

  // The program hands over and ends; the updater shows its window.
  ASSERT_TRUE(old.WaitForExit(kUpdateTimeoutMs));
  RunningProgram started =
      WaitForStartedProgram(folder.PathOf(L"Vantrel.exe"), old.id(), kUpdateTimeoutMs);
  ASSERT_TRUE(started.IsRunning()) << started.id() << " " << started.ExitCode();
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == newProgram);
  EXPECT_EQ(ReadFileVersion(folder.PathOf(L"Vantrel.exe")), RaisedBuild(ownVersion));
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"ReadMe.txt")) ==
              ReadBytes(Widen(update_test::HostToLocalPath(kUserReadMe))));
  // The new version's start-up removes what the update left behind.
  EXPECT_TRUE(e2e::WaitUntil([&] { return LeftoversRemoved(); }, kStartTimeoutMs));
  e2e::SaveScreenshot(L"update-new-version");
}

// What any process of the user can set must not choose the server or the
// trust of the elevated program: without a policy it asks the built server.
TEST_F(UpdateEndToEnd, EnvironmentDoesNotChooseTheServer) {
  PublishNextVersion();
  update_test::RemoveUpdatePolicy();
  update_test::SetEnvironment("VANTREL_TEST_DOWNLOAD_URL", server.Url() + "/dl");
  update_test::SetEnvironment("VANTREL_TEST_CA_FILE", server.CaFile());
  StartAndWaitForLog(L"!Can not read Online Version");
  update_test::SetEnvironment("VANTREL_TEST_DOWNLOAD_URL", "");
  update_test::SetEnvironment("VANTREL_TEST_CA_FILE", "");
  EXPECT_EQ(server.Requests(), "");
}

TEST_F(UpdateEndToEnd, PlainHttpPolicyMakesNoRequest) {
  PublishNextVersion();
  update_test::SetUpdatePolicy(server.PlainUrl() + "/dl", server.CaFile());
  StartAndWaitForLog(L"!Can not read Online Version");
  EXPECT_EQ(server.Requests(), "");
}

// The updater closes the program soon after it starts; a headset start
// still switching the nodes finishes first, and the program answers its
// messages meanwhile.
TEST_F(UpdateEndToEnd, UpdateWaitsForARunningHeadsetStart) {
  constexpr wchar_t kFailEnableKey[] = L"Software\\VantrelTest\\DeviceNodes\\FailEnable";
  constexpr int kLabelCheckForUpdate = 4;
  constexpr int kLogView = 34;
  e2e::RemoveSimulatedHeadset(L"Vantrel.exe");
  ASSERT_TRUE(e2e::UseFakeConfigManager(L"Vantrel.exe"));
  e2e::PutFriendlyName(e2e::kSensorsNode, L"HoloLens Sensors");
  e2e::PutFriendlyName(e2e::kHeadsetNode, L"Acme Virtual Reality Headset");
  e2e::SetNode(e2e::kSensorsNode, e2e::kNodeDisabled);
  e2e::SetNode(e2e::kHeadsetNode, e2e::kNodeDisabled);
  // The sensors refuse to come on until the test lets them.
  const DWORD fails = 1;
  RegSetKeyValueW(HKEY_CURRENT_USER, kFailEnableKey, e2e::kSensorsNode, REG_DWORD, &fails,
                  sizeof(fails));
  PublishNextVersion();
  folder.Write(L"Vantrel.ini", "CheckForUpdate = 0\r\n");
  RunningProgram old = e2e::Start(folder);
  HWND window = e2e::WaitForWindow(old.id(), kTitlePrefix, kStartTimeoutMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(e2e::WaitForControlText(window, kLogView, L": Acme found!", kStartTimeoutMs));

  PostMessageW(window, WM_COMMAND, 0, 0);  // "Start WMR Headset"
  HWND label = e2e::FindControl(window, kLabelCheckForUpdate);
  PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  HWND dialog = WaitForChangeLog(old.id());
  ASSERT_NE(dialog, nullptr);
  ClickLabel(dialog, 7);
  Sleep(1500);
  EXPECT_FALSE(folder.Exists(L"vtrel.updater.exe"));
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);

  RegDeleteKeyValueW(HKEY_CURRENT_USER, kFailEnableKey, e2e::kSensorsNode);
  EXPECT_TRUE(
      e2e::WaitForControlText(window, kLogView, L"WMR headset is now online", kStartTimeoutMs));
  ASSERT_TRUE(old.WaitForExit(kUpdateTimeoutMs));
  RunningProgram started =
      WaitForStartedProgram(folder.PathOf(L"Vantrel.exe"), old.id(), kUpdateTimeoutMs);
  EXPECT_TRUE(started.IsRunning());
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == newProgram);
  for (const wchar_t* node : {e2e::kSensorsNode, e2e::kHeadsetNode}) {
    DWORD problem = 0xFFFF;
    DWORD size = sizeof(problem);
    RegGetValueW(HKEY_CURRENT_USER, e2e::kSimulatedNodesKey, node, RRF_RT_REG_DWORD, nullptr,
                 &problem, &size);
    EXPECT_EQ(problem, e2e::kNodeRunning);
  }
  e2e::RemoveSimulatedHeadset(L"Vantrel.exe");
}

// Start-up removes the work folder an update left; one that is a link goes
// as a link, and what it points at stays.
TEST_F(UpdateEndToEnd, LinkedWorkFolderIsNotFollowed) {
  folder.MakeFolder(L"elsewhere");
  folder.Write(L"elsewhere\\keep.txt", "keep");
  // Wine cannot remove a link to a folder (it asks Linux for rmdir), so an
  // earlier run's link may still be there.
  update_test::RunHostCommand({"/bin/rm", "-f", HostPath(folder.PathOf(L"vtrel_tmp"))});
  ASSERT_EQ(update_test::RunHostCommand({"/bin/ln", "-s", HostPath(folder.PathOf(L"elsewhere")),
                                         HostPath(folder.PathOf(L"vtrel_tmp"))}),
            0);
  RunningProgram program = e2e::Start(folder);
  ASSERT_NE(e2e::WaitForWindow(program.id(), kTitlePrefix, kStartTimeoutMs), nullptr);
  EXPECT_EQ(folder.Read(L"elsewhere\\keep.txt"), "keep");
}

// Unpacked where the user's ordinary processes can change the program, as
// every folder is under Wine (the user owns it): the program warns, and the
// update the user agrees to is not started, as the elevated updater and the
// new program could be swapped on the way. The other tests here run with
// the administrator's policy that accepts such a folder.
TEST_F(UpdateEndToEnd, FolderTheUserCanChangeIsReportedAndNotUpdated) {
  PublishNextVersion();
  update_test::RemoveUpdatePolicy();
  update_test::SetUpdatePolicy(server.Url() + "/dl", server.CaFile(), server.PublicKeyHex());
  HWND window = StartAndAgreeToTheUpdate();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(e2e::WaitForControlText(window, 34,
                                      L"!Can not update in a folder others can change: Move "
                                      L"Vantrel to a folder only administrators can change, such "
                                      L"as Program Files",
                                      kStartTimeoutMs));
  const std::wstring log = e2e::WindowTitle(e2e::FindControl(window, 34));
  EXPECT_NE(log.find(L"install Vantrel in a folder under Program Files"), std::wstring::npos);
  EXPECT_EQ(server.Requests().find(".zip"), std::string::npos);
  EXPECT_FALSE(folder.Exists(L"vtrel.updater.exe"));
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
}

// A signed version file whose digest does not fit the archive.
TEST_F(UpdateEndToEnd, WrongChecksumKeepsTheOldProgram) {
  PublishNextVersion();
  std::string fields = versionFile.substr(0, versionFile.find_last_of('|'));
  fields.back() = fields.back() == '0' ? '1' : '0';
  server.PutVersionFile(fields);
  HWND window = StartAndAgreeToTheUpdate();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(
      e2e::WaitForControlText(window, 34, L"!Checksum of Update File is wrong", kStartTimeoutMs));
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
  EXPECT_FALSE(folder.Exists(L"vtrel.updater.exe"));
  EXPECT_FALSE(folder.Exists(L"vtrel_tmp"));
}

// Unsigned, signed by a key the program does not trust, or changed after
// signing: the program says so and asks the server for nothing more.
TEST_F(UpdateEndToEnd, BadlySignedVersionFilesDownloadNothing) {
  PublishNextVersion();
  const size_t signatureAt = versionFile.find_last_of('|');
  const std::string fields = versionFile.substr(0, signatureAt);
  const std::string signature = versionFile.substr(signatureAt);
  const std::string digest = fields.substr(fields.find_last_of('|') + 1);
  std::string otherDigest = digest;
  otherDigest.back() = otherDigest.back() == '0' ? '1' : '0';
  const std::string otherArchive =
      "Vantrel Next|" + Narrow(RaisedBuild(ownVersion)) + "|other.zip|";
  server.Put("dl/other.zip", archive);
  for (const std::string& served :
       {fields, fields.substr(0, fields.size() - digest.size()) + otherDigest + signature,
        otherArchive + digest + signature, std::string()}) {
    if (served.empty()) {
      server.PutVersionFile(fields, server.StrangerSigningKey());
    } else {
      server.Put("dl/vtrel.ver", served);
    }
    StartAndWaitForLog(L"!Update is not signed correctly");
    EXPECT_EQ(server.Requests().find("change.log"), std::string::npos) << served;
    EXPECT_EQ(server.Requests().find(".zip"), std::string::npos) << served;
    EXPECT_FALSE(folder.Exists(L"vtrel_tmp"));
  }
}

// Without parameters the updater still closes the running program (with
// the quit request, which it obeys even when it closes to the tray), then
// changes nothing and starts the same program again.
TEST_F(UpdateEndToEnd, UpdaterWithoutParametersRestartsTheOldProgram) {
  PublishNextVersion();
  folder.Write(L"Vantrel.ini", "CloseToTray = 1\r\n");
  RunningProgram old = e2e::Start(folder);
  ASSERT_NE(e2e::WaitForWindow(old.id(), kTitlePrefix, kStartTimeoutMs), nullptr);
  // After the program's start-up, which removes update leftovers.
  PlaceArchiveForTheUpdater();
  const e2e::LookAlikes lookAlikes(true);
  RunningProgram updater = StartUpdater(L"");
  ASSERT_TRUE(old.WaitForExit(kUpdateTimeoutMs));
  ASSERT_TRUE(updater.WaitForExit(kUpdateTimeoutMs));
  EXPECT_TRUE(lookAlikes.BothRunning());
  RunningProgram again =
      WaitForStartedProgram(folder.PathOf(L"Vantrel.exe"), old.id(), kStartTimeoutMs);
  EXPECT_TRUE(again.IsRunning());
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
}

TEST_F(UpdateEndToEnd, UpdaterWithoutARunningProgram) {
  PublishNextVersion("ReadMe.txt");
  const std::wstring digest = PlaceArchiveForTheUpdater();
  folder.Write(L"ReadMe.txt", "old readme");
  RunningProgram updater = StartUpdater(L"/update " + digest);
  ASSERT_NE(e2e::WaitForWindow(updater.id(), L"Vantrel Updater", kStartTimeoutMs), nullptr);
  e2e::SaveScreenshot(L"updater-window");
  ASSERT_TRUE(updater.WaitForExit(kUpdateTimeoutMs));
  RunningProgram started = WaitForStartedProgram(folder.PathOf(L"Vantrel.exe"), 0, kStartTimeoutMs);
  EXPECT_TRUE(started.IsRunning());
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == newProgram);
  // The archive held only the program: the old read-me stays.
  EXPECT_EQ(folder.Read(L"ReadMe.txt"), "old readme");
  EXPECT_TRUE(e2e::WaitUntil([&] { return LeftoversRemoved(); }, kStartTimeoutMs));
}

TEST_F(UpdateEndToEnd, ArchiveWithoutTheProgramKeepsTheOldOne) {
  PublishNextVersion("Vantrel.exe");
  ExpectTheOldProgramKept();
}

TEST_F(UpdateEndToEnd, EmptyProgramInTheArchiveKeepsTheOldOne) {
  ArchiveOf({{L"Vantrel.exe", ""}, {L"ReadMe.txt", "new readme"}});
  ExpectTheOldProgramKept();
}

// tar ends with an error: whatever it may have left is not used.
TEST_F(UpdateEndToEnd, FailingTarKeepsTheOldProgram) {
  archive = std::string(20000, 'x');
  ExpectTheOldProgramKept();
}

// The updater's folder comes first in the search path; the elevated
// updater must run the system's tar, not one that was put beside it.
TEST_F(UpdateEndToEnd, TarInTheProgramFolderIsNeverRun) {
  PublishNextVersion();
  const std::wstring digest = PlaceArchiveForTheUpdater();
  ASSERT_TRUE(CopyFileW(kSchtasksStandIn, folder.PathOf(L"tar.exe").c_str(), FALSE));
  RunUpdaterWithoutTheProgram(L"/update " + digest);
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == newProgram);
  // The stand-in records every run of itself in a file beside it.
  EXPECT_FALSE(folder.Exists(L"schtasks-calls.txt"));
}

TEST_F(UpdateEndToEnd, LeftoverOldProgramBlocksTheExchange) {
  PublishNextVersion();
  const std::wstring digest = PlaceArchiveForTheUpdater();
  folder.Write(L"Vantrel.exe.old", "an older program");
  RunUpdaterWithoutTheProgram(L"/update " + digest);
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
}

TEST_F(UpdateEndToEnd, WrongDigestChangesNothing) {
  PublishNextVersion();
  PlaceArchiveForTheUpdater();
  RunUpdaterWithoutTheProgram(L"/update " + std::wstring(56, L'0'));
  EXPECT_TRUE(ReadBytes(folder.PathOf(L"Vantrel.exe")) == oldProgram);
}

}  // namespace
