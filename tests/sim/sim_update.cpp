#include "tests/sim/sim_update.h"

#include "base/clock.h"
#include "base/files.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"
#include "update/file_digest.h"
#include "update/http.h"
#include "update/sha3.h"
#include "update/update_system.h"
#include "update/update_ui.h"
#include "updater/updater_system.h"

namespace sim {

namespace {
SimUpdate& Update() { return State().update; }
}  // namespace

void ServeHttp(const std::string& url, long status, const std::string& body) {
  Update().answers[url] = SimHttpAnswer{status, body};
}
void RefuseHttpRequests() { Update().refuseRequests = true; }
const std::vector<std::string>& RequestedUrls() { return Update().requestedUrls; }
void AnswerChangeLog(int result) { Update().changeLogAnswer = result; }
const std::vector<std::pair<std::wstring, std::wstring>>& ChangeLogsShown() {
  return Update().changeLogsShown;
}
const std::vector<std::pair<std::wstring, std::wstring>>& UpdateMessages() {
  return Update().messages;
}
std::string UpdaterImageBytes() { return "MZ simulated updater image"; }
void FailUpdaterWrite() { Update().failUpdaterWrite = true; }
void FailNetworking() { Update().failNetworking = true; }
void FailUpdaterStart() { Update().failUpdaterStart = true; }
const std::vector<std::wstring>& UpdaterStarts() { return Update().updaterStarts; }
std::int64_t EndedForUpdateAtMs() { return Update().endedForUpdateAtMs; }
void SetArchiveEntries(std::vector<std::pair<std::wstring, std::string>> entries) {
  Update().archiveEntries = std::move(entries);
}
void RemoveTar() { Update().tarMissing = true; }
const std::vector<std::wstring>& ArchivesHeldDuringTar() { return Update().archivesHeldDuringTar; }
const std::wstring& HeldArchive() { return Update().heldArchive; }
const std::vector<std::wstring>& TarFolders() { return Update().tarFolders; }
const std::vector<std::wstring>& ProgramStarts() { return Update().programStarts; }

}  // namespace sim

using sim::State;

namespace {
sim::SimUpdate& Update() { return State().update; }

// The answer for `url`, or nullptr when no server answers it.
const sim::SimHttpAnswer* AnswerFor(const std::string& url) {
  Update().requestedUrls.push_back(url);
  auto found = Update().answers.find(url);
  return found == Update().answers.end() ? nullptr : &found->second;
}
}  // namespace

bool HttpGetText(const std::string& url, HttpReply& reply) {
  const sim::MachineCall call;
  reply = HttpReply{};
  if (Update().refuseRequests) return false;
  if (const sim::SimHttpAnswer* answer = AnswerFor(url)) {
    reply.status = answer->status;
    reply.body = answer->body;
  }
  return true;
}

// The simulated server speaks no TLS: there is no chain to check.
void SetHttpCaFile(const std::string&) {}

bool DownloadToFile(const std::string& url, const std::wstring& path) {
  const sim::MachineCall call;
  if (Update().refuseRequests) return false;
  const sim::SimHttpAnswer* answer = AnswerFor(url);
  if (answer == nullptr) {
    DeleteFileForced(path);
    return false;
  }
  sim::PutFile(path, answer->body);
  return true;
}

std::wstring FileSha3_224(const std::wstring& path) {
  const sim::MachineCall call;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return L"";
  const std::string digest = Sha3_224Hex(bytes.data(), bytes.size());
  return std::wstring(digest.begin(), digest.end());
}

bool WriteUpdaterImage(const std::wstring& path) {
  const sim::MachineCall call;
  if (Update().failUpdaterWrite) return false;
  sim::PutFile(path, sim::UpdaterImageBytes());
  return true;
}

void MakeFolder(const std::wstring& path) {
  const sim::MachineCall call;
  sim::PutDirectory(path);
}

void RemoveFolderTree(const std::wstring& path) {
  const sim::MachineCall call;
  const std::wstring prefix = sim::PathKey(path) + L"\\";
  std::erase_if(State().files, [&](const auto& file) { return file.first.rfind(prefix, 0) == 0; });
  std::erase_if(State().directories, [&](const std::wstring& folder) {
    return folder == sim::PathKey(path) || folder.rfind(prefix, 0) == 0;
  });
}

bool StartNetworking() {
  const sim::MachineCall call;
  return !Update().failNetworking;
}

bool StartUpdater(const std::wstring& parameters) {
  const sim::MachineCall call;
  if (Update().failUpdaterStart) return false;
  Update().updaterStarts.push_back(parameters);
  return true;
}

void EndProgramForUpdate() {
  const sim::MachineCall call;
  Update().endedForUpdateAtMs = sim::NowMs();
}

void ShowUpdateCheckMessage(const std::wstring& title, const std::wstring& text) {
  const sim::MachineCall call;
  Update().messages.emplace_back(title, text);
}

void AnswerMessagesFor(unsigned timeoutMs) { SleepMs(timeoutMs); }

int RunChangeLogWindow(const std::wstring& title, const std::wstring& changeLog) {
  const sim::MachineCall call;
  Update().changeLogsShown.emplace_back(title, changeLog);
  return Update().changeLogAnswer;
}

bool HoldArchive(const std::wstring& path) {
  if (!sim::HasFile(path)) return false;
  Update().heldArchive = path;
  return true;
}

void ReleaseArchive() { Update().heldArchive.clear(); }

bool ExtractArchiveWithTar(const std::wstring& folder) {
  const sim::MachineCall call;
  if (Update().tarMissing) return false;
  Update().tarFolders.push_back(folder);
  Update().archivesHeldDuringTar.push_back(Update().heldArchive);
  for (const auto& [name, bytes] : Update().archiveEntries)
    sim::PutFile(folder + L"\\" + name, bytes);
  return true;
}

bool StartProgramIn(const std::wstring& folder, const std::wstring& programFile) {
  const sim::MachineCall call;
  Update().programStarts.push_back(folder + programFile);
  return true;
}
