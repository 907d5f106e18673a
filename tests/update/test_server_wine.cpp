#include <windows.h>

#include <cstdlib>

#include "tests/update/test_server_paths.h"

namespace update_test {

namespace {

// Wine's own entry point for starting a Unix program; with `wait` set it
// returns the program's exit status.
using UnixSpawn = int(__cdecl*)(char* const argv[], int wait);

}  // namespace

int RunHostCommand(const std::vector<std::string>& argv) {
  auto spawn = reinterpret_cast<UnixSpawn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
  if (spawn == nullptr) return -1;
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  return spawn(arguments.data(), 1);
}

std::string HostToLocalPath(const std::string& path) {
  std::string local = "Z:" + path;
  for (char& c : local) {
    if (c == '/') c = '\\';
  }
  return local;
}

void SetEnvironment(const std::string& name, const std::string& value) {
  // Both the C runtime's copy, which getenv reads, and the process's own,
  // which started programs inherit.
  _putenv_s(name.c_str(), value.c_str());
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::string UniqueSuffix() { return std::to_string(GetCurrentProcessId()); }

}  // namespace update_test
