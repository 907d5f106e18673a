#include "base/files.h"
#include "base/text.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {

std::wstring PathKey(const std::wstring& path) {
  std::wstring key = ToLowerAscii(path);
  for (wchar_t& c : key) {
    if (c == L'/') c = L'\\';
  }
  return key;
}

void PutFile(const std::wstring& path, const std::string& bytes, bool readOnly) {
  State().files[PathKey(path)] = SimFile{bytes, readOnly};
}

bool HasFile(const std::wstring& path) { return State().files.count(PathKey(path)) != 0; }

std::string FileBytes(const std::wstring& path) {
  auto found = State().files.find(PathKey(path));
  return found == State().files.end() ? std::string() : found->second.bytes;
}

void PutDirectory(const std::wstring& path) { State().directories.insert(PathKey(path)); }

bool HasDirectory(const std::wstring& path) {
  return State().directories.count(PathKey(path)) != 0;
}

void FailNextReplace() { State().failNextReplace = true; }

int ReplaceCount() { return State().replaceCount; }

void MakeFileUnreadable(const std::wstring& path, std::int64_t forMs) {
  State().files[PathKey(path)].unreadableUntilMs = forMs < 0 ? -1 : NowMs() + forMs;
}

}  // namespace sim

using sim::PathKey;
using sim::State;

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  const sim::MachineCall call;
  auto found = State().files.find(PathKey(path));
  if (found == State().files.end()) return false;
  const std::int64_t until = found->second.unreadableUntilMs;
  if (until == -1 || sim::NowMs() < until) return false;
  bytes = found->second.bytes;
  return true;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
  const sim::MachineCall call;
  ++State().replaceCount;
  if (State().failNextReplace) {
    State().failNextReplace = false;
    return false;
  }
  auto existing = State().files.find(PathKey(path));
  if (existing != State().files.end() && existing->second.readOnly) return false;
  State().files[PathKey(path)] = sim::SimFile{bytes};
  return true;
}

bool RenameWithoutReplacing(const std::wstring& from, const std::wstring& to) {
  const sim::MachineCall call;
  auto& files = State().files;
  auto source = files.find(PathKey(from));
  if (source == files.end() || files.count(PathKey(to)) != 0) return false;
  sim::SimFile file = source->second;
  files.erase(source);
  files[PathKey(to)] = file;
  return true;
}

std::int64_t FileSizeOf(const std::wstring& path) {
  const sim::MachineCall call;
  auto found = State().files.find(PathKey(path));
  return found == State().files.end() ? -1 : static_cast<std::int64_t>(found->second.bytes.size());
}

bool DeleteFileForced(const std::wstring& path) {
  const sim::MachineCall call;
  return State().files.erase(PathKey(path)) != 0;
}

bool IsDirectory(const std::wstring& path) {
  const sim::MachineCall call;
  return sim::HasDirectory(path);
}

// The simulated machine has no junctions or symbolic links.
bool IsLink(const std::wstring&) { return false; }

std::vector<std::wstring> FilesInDirectory(const std::wstring& folder) {
  const sim::MachineCall call;
  const std::wstring prefix = PathKey(folder) + L"\\";
  std::vector<std::wstring> names;
  for (const auto& [key, file] : State().files) {
    if (key.rfind(prefix, 0) == 0 && key.find(L'\\', prefix.size()) == std::wstring::npos) {
      names.push_back(key.substr(prefix.size()));
    }
  }
  return names;
}

bool RemoveEmptyDirectory(const std::wstring& path) {
  const sim::MachineCall call;
  if (!FilesInDirectory(path).empty()) return false;
  return State().directories.erase(PathKey(path)) != 0;
}
