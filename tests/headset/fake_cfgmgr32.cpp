// A stand-in for the configuration manager library in the end-to-end tests,
// where Wine's own cannot switch device nodes. The node states live in the
// prefix's registry, so a test can plug, unplug and break nodes from outside:
// under HKCU "Software\VantrelTest\DeviceNodes", one DWORD per device
// instance ID holding its problem number (0 running, 22 disabled); a node
// without a value is not plugged in. An ID listed under "...\FailEnable"
// does not come on when enabled. "StatusQueries" under "Software\VantrelTest"
// counts the status queries, so a test can tell when a search pass has run.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kNodesKey[] = L"Software\\VantrelTest\\DeviceNodes";
constexpr wchar_t kFailEnableKey[] = L"Software\\VantrelTest\\DeviceNodes\\FailEnable";
constexpr wchar_t kTestKey[] = L"Software\\VantrelTest";
constexpr wchar_t kStatusQueries[] = L"StatusQueries";
constexpr DWORD kSuccess = 0;
constexpr DWORD kInvalidPointer = 0x03;
constexpr DWORD kNoSuchDevnode = 0x0D;
constexpr DWORD kProblemDisabled = 22;
constexpr DWORD kStatusStarted = 0x8;  // DN_STARTED

// Located IDs; a node handle is its index + 1.
std::mutex lock;
std::vector<std::wstring> located;

bool ReadNumber(const wchar_t* key, const std::wstring& id, DWORD& value) {
  DWORD size = sizeof(value);
  return RegGetValueW(HKEY_CURRENT_USER, key, id.c_str(), RRF_RT_REG_DWORD, nullptr, &value,
                      &size) == ERROR_SUCCESS;
}

void WriteProblem(const std::wstring& id, DWORD problem) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kNodesKey, id.c_str(), REG_DWORD, &problem, sizeof(problem));
}

bool IdOf(DWORD node, std::wstring& id) {
  std::lock_guard<std::mutex> guard(lock);
  if (node == 0 || node > located.size()) return false;
  id = located[node - 1];
  return true;
}

void CountStatusQuery() {
  std::lock_guard<std::mutex> guard(lock);
  DWORD count = 0;
  ReadNumber(kTestKey, kStatusQueries, count);
  ++count;
  RegSetKeyValueW(HKEY_CURRENT_USER, kTestKey, kStatusQueries, REG_DWORD, &count, sizeof(count));
}

// The node's problem number; false when it is not plugged in.
bool Problem(DWORD node, std::wstring& id, DWORD& problem) {
  return IdOf(node, id) && ReadNumber(kNodesKey, id, problem);
}

}  // namespace

extern "C" {

DWORD WINAPI CM_Locate_DevNodeW(PDWORD node, const wchar_t* id, ULONG) {
  if (!node || !id) return kInvalidPointer;
  DWORD problem = 0;
  if (!ReadNumber(kNodesKey, id, problem)) return kNoSuchDevnode;
  std::lock_guard<std::mutex> guard(lock);
  for (size_t index = 0; index < located.size(); ++index) {
    if (_wcsicmp(located[index].c_str(), id) == 0) {
      *node = static_cast<DWORD>(index + 1);
      return kSuccess;
    }
  }
  located.push_back(id);
  *node = static_cast<DWORD>(located.size());
  return kSuccess;
}

DWORD WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problemNumber, DWORD node, ULONG) {
  if (!status || !problemNumber) return kInvalidPointer;
  CountStatusQuery();
  std::wstring id;
  DWORD problem = 0;
  if (!Problem(node, id, problem)) return kNoSuchDevnode;
  *problemNumber = problem;
  *status = problem == 0 ? kStatusStarted : 0;
  return kSuccess;
}

DWORD WINAPI CM_Enable_DevNode(DWORD node, ULONG) {
  std::wstring id;
  DWORD problem = 0;
  if (!Problem(node, id, problem)) return kNoSuchDevnode;
  DWORD fails = 0;
  if (problem == kProblemDisabled && !ReadNumber(kFailEnableKey, id, fails)) WriteProblem(id, 0);
  return kSuccess;
}

DWORD WINAPI CM_Disable_DevNode(DWORD node, ULONG) {
  std::wstring id;
  DWORD problem = 0;
  if (!Problem(node, id, problem)) return kNoSuchDevnode;
  WriteProblem(id, kProblemDisabled);
  return kSuccess;
}

}  // extern "C"
