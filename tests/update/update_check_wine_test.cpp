// The update check with the real HTTP layer (Schannel under Wine) against
// the local HTTPS server: the failure rows end with their exact log lines,
// and the change-log dialog is driven through its labels.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "base/program_state.h"
#include "base/text.h"
#include "tests/update/test_server.h"
#include "tests/update/test_server_paths.h"
#include "base/event_log.h"
#include "tests/update/update_policy.h"
#include "update/http.h"
#include "update/sha3.h"
#include "update/update_check.h"

namespace {

using update_test::TestServer;

constexpr DWORD kDialogTimeoutMs = 20000;

// Clicks one label of the change-log dialog once it is open, from a thread
// of its own while the check runs its dialog loop on the test's thread.
// Tests run side by side on one Wine desktop: only this process's dialog.
HWND OwnDialog() {
  for (HWND window = FindWindowExW(nullptr, nullptr, L"VantrelChangeLog", nullptr); window;
       window = FindWindowExW(nullptr, window, L"VantrelChangeLog", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

class DialogClicker {
 public:
  explicit DialogClicker(int labelId) : thread_([this, labelId] { Run(labelId); }) {}
  ~DialogClicker() {
    stop_ = true;
    thread_.join();
  }
  bool clicked() const { return clicked_; }
  const std::wstring& title() const { return title_; }
  const std::wstring& text() const { return text_; }

 private:
  void Run(int labelId) {
    const ULONGLONG deadline = GetTickCount64() + kDialogTimeoutMs;
    while (!stop_ && GetTickCount64() < deadline) {
      if (HWND dialog = OwnDialog()) {
        wchar_t buffer[512] = {};
        GetWindowTextW(dialog, buffer, 512);
        title_ = buffer;
        HWND log = GetDlgItem(dialog, 49);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(log)) + 1, L'\0');
        GetWindowTextW(log, text.data(), static_cast<int>(text.size()));
        text_ = text.c_str();
        HWND label = GetDlgItem(dialog, labelId);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(labelId, STN_CLICKED),
                     reinterpret_cast<LPARAM>(label));
        clicked_ = true;
        return;
      }
      Sleep(20);
    }
  }
  std::atomic<bool> stop_{false};
  std::atomic<bool> clicked_{false};
  std::wstring title_;
  std::wstring text_;
  std::thread thread_;
};

std::string Archive(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + 5);
  return bytes;
}

std::string DigestOf(const std::string& bytes) { return Sha3_224Hex(bytes.data(), bytes.size()); }

class UpdateCheckWine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.started());
    PointAt(server.Url());
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    folder = std::wstring(temporary) + L"vantrel-update-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    SetCurrentDirectoryW(folder.c_str());
    ProgramSettings() = Settings{};
    ProgramSettings().SkipUpdate = L"2000.1.1.1";
    Identity().fileVersion = L"2021.3.2.76";
    ProgramFolderTrusted() = true;
    AddLogLine(L"test: start", 0);
    logStart = LogText().size();
  }

  void TearDown() override { update_test::RemoveUpdatePolicy(); }

  void PointAt(const std::string& url) {
    update_test::SetUpdatePolicy(url + "/dl", server.CaFile(), server.PublicKeyHex());
  }

  std::vector<std::wstring> Logged() const {
    std::vector<std::wstring> lines;
    const std::wstring text = LogTextFrom(logStart);
    size_t start = 0;
    for (size_t end; (end = text.find(L'\r', start)) != std::wstring::npos; start = end + 1) {
      lines.push_back(text.substr(start + 9, end - start - 9));
    }
    return lines;
  }
  std::wstring LastLine() const { return Logged().empty() ? L"" : Logged().back(); }

  void ServeRelease(const std::string& archive, const std::string& archiveName = "next.zip") {
    server.PutVersionFile("Vantrel Next|2021.3.3.1|" + archiveName + "|" + DigestOf(archive));
    server.Put("dl/change.log", "Changes\n" + std::string(1100, '*'));
  }

  TestServer server{"check"};
  std::wstring folder;
  size_t logStart = 0;
};

using Lines = std::vector<std::wstring>;

TEST_F(UpdateCheckWine, VersionFileErrorPage) {
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"});
}

TEST_F(UpdateCheckWine, VersionFileRedirectIsNotFollowed) {
  server.Put("dl/real.ver", "Vantrel Next|2030.1.1.1|next.zip|abc");
  server.AnswerWith("dl/vtrel.ver", 302, server.Url() + "/dl/real.ver");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"});
}

TEST_F(UpdateCheckWine, ServerWithAnUntrustedCertificate) {
  ServeRelease(Archive(20000));
  PointAt(server.StrangerUrl());
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"});
}

TEST_F(UpdateCheckWine, NoServerAtAll) {
  PointAt("https://localhost:1");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!Can not read Online Version"});
}

TEST_F(UpdateCheckWine, VersionFileWithOnlyAName) {
  server.PutVersionFile("2030.1.1.1|||");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L"!No Online Version found"});
}

TEST_F(UpdateCheckWine, SameVersion) {
  server.PutVersionFile("Same|2021.3.2.76|same.zip|abc");
  UpdateCheck(false);
  EXPECT_EQ(Logged(), Lines{L" No new Version found"});
}

TEST_F(UpdateCheckWine, ShortChangeLog) {
  ServeRelease(Archive(20000));
  server.Put("dl/change.log", std::string(1024, 'c'));
  UpdateCheck(false);
  EXPECT_EQ(Logged(),
            (Lines{L"!New Version Vantrel Next (2021.3.3.1)", L"!Can not read Changelog"}));
}

TEST_F(UpdateCheckWine, SkipIsRemembered) {
  ServeRelease(Archive(20000));
  DialogClicker clicker(8);
  UpdateCheck(false);
  ASSERT_TRUE(clicker.clicked());
  EXPECT_EQ(clicker.title(), L"Vantrel - New Update found: Vantrel Next (2021.3.3.1)");
  // The server's LF line ends are shown as line breaks.
  EXPECT_EQ(clicker.text().substr(0, 9), L"Changes\r\n");
  std::string settings;
  ASSERT_TRUE(ReadWholeFile(L"Vantrel.ini", settings));
  EXPECT_NE(settings.find("SkipUpdate = 2021.3.3.1\r\n"), std::string::npos);
  EXPECT_FALSE(IsDirectory(L"vtrel_tmp"));
}

TEST_F(UpdateCheckWine, ChancelClearsTheSkippedVersion) {
  ServeRelease(Archive(20000));
  DialogClicker clicker(9);
  UpdateCheck(true);
  ASSERT_TRUE(clicker.clicked());
  EXPECT_EQ(ProgramSettings().SkipUpdate, L"");
  EXPECT_EQ(FileSizeOf(L"vtrel.updater.exe"), -1);
}

TEST_F(UpdateCheckWine, UpdaterCannotBeWritten) {
  ServeRelease(Archive(20000));
  CreateDirectoryW(L"vtrel.updater.exe", nullptr);
  DialogClicker clicker(7);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not write Updater to Disk");
  RemoveDirectoryW(L"vtrel.updater.exe");
}

TEST_F(UpdateCheckWine, SmallErrorPageInPlaceOfTheArchive) {
  ServeRelease(Archive(20000), "missing.zip");
  DialogClicker clicker(7);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not find Update File on DL Server");
  EXPECT_EQ(FileSizeOf(L"vtrel.updater.exe"), -1);
  EXPECT_FALSE(IsDirectory(L"vtrel_tmp"));
}

TEST_F(UpdateCheckWine, LargeErrorPageFailsTheChecksum) {
  ServeRelease(Archive(20000));
  server.Put("dl/next.zip", std::string(10241, 'e'));
  server.AnswerWith("dl/next.zip", 404);
  DialogClicker clicker(7);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Checksum of Update File is wrong");
}

// The archive's server stops sending halfway: the download is given up
// after the stall bound and its partial file deleted.
TEST_F(UpdateCheckWine, StalledArchiveDownload) {
  const std::string archive = Archive(200000);
  ServeRelease(archive);
  server.Put("dl/next.zip", archive);
  server.StallAfter("dl/next.zip", 50000);
  DialogClicker clicker(7);
  UpdateCheck(false);
  EXPECT_EQ(LastLine(), L"!Can not download Update File");
  EXPECT_FALSE(IsDirectory(L"vtrel_tmp"));
}

}  // namespace
