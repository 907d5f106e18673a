// The simulated machine's side of the self-update: a download server, the
// change-log dialog's answer, the updater image and start, the hand-over,
// and the updater's tar.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct SimHttpAnswer {
  long status = 200;
  std::string body;
};

struct SimUpdate {
  std::map<std::string, SimHttpAnswer> answers;  // by URL; others: no server
  bool refuseRequests = false;
  std::vector<std::string> requestedUrls;
  int changeLogAnswer = 0;
  std::vector<std::pair<std::wstring, std::wstring>> changeLogsShown;  // title, text
  std::vector<std::pair<std::wstring, std::wstring>> messages;         // title, text
  bool failUpdaterWrite = false;
  bool failNetworking = false;
  bool failUpdaterStart = false;
  std::vector<std::wstring> updaterStarts;  // their parameters
  std::int64_t endedForUpdateAtMs = -1;
  // The updater's side.
  std::vector<std::pair<std::wstring, std::string>> archiveEntries;
  bool tarMissing = false;
  std::vector<std::wstring> tarFolders;
  std::wstring heldArchive;  // empty when none is held
  std::vector<std::wstring> archivesHeldDuringTar;
  std::vector<std::wstring> programStarts;  // folder + file
};

// The download server answers `url` with `status` and `body`. A URL it
// does not know fails like a server that is not there (status 0).
void ServeHttp(const std::string& url, long status, const std::string& body);
// No request can be made at all (the HTTP layer cannot start).
void RefuseHttpRequests();
const std::vector<std::string>& RequestedUrls();

// What the change-log dialog answers when it is shown: 1, -1 or 0.
void AnswerChangeLog(int result);
const std::vector<std::pair<std::wstring, std::wstring>>& ChangeLogsShown();
const std::vector<std::pair<std::wstring, std::wstring>>& UpdateMessages();

// What WriteUpdaterImage writes.
std::string UpdaterImageBytes();
void FailUpdaterWrite();
void FailNetworking();
void FailUpdaterStart();
const std::vector<std::wstring>& UpdaterStarts();
// When the program ended for the updater; -1 when it did not.
std::int64_t EndedForUpdateAtMs();

// The updater's tar extracts these entries into the folder it runs in.
void SetArchiveEntries(std::vector<std::pair<std::wstring, std::string>> entries);
void RemoveTar();
// For each run of tar, the archive the updater held open meanwhile.
const std::vector<std::wstring>& ArchivesHeldDuringTar();
// The archive the updater holds open now; empty when none.
const std::wstring& HeldArchive();
const std::vector<std::wstring>& TarFolders();
const std::vector<std::wstring>& ProgramStarts();

}  // namespace sim
