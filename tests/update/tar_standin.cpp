// A stand-in for Windows' tar.exe, which Wine lacks: runs the Linux bsdtar
// with the same arguments in the same folder and passes its exit code on.
// Wine starts a Linux program detached, with nothing to wait on, so this
// goes through Wine's own synchronous spawn instead.
#include <windows.h>

#include <string>
#include <vector>

namespace {

using UnixSpawn = int(__cdecl*)(char* const argv[], int wait);
using UnixFileName = char*(__cdecl*)(const wchar_t* dosName);

template <typename Function>
Function Export(const wchar_t* module, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(module), name)));
}

}  // namespace

int main(int argc, char** argv) {
  auto spawn = Export<UnixSpawn>(L"ntdll.dll", "__wine_unix_spawnvp");
  auto unixName = Export<UnixFileName>(L"kernel32.dll", "wine_get_unix_file_name");
  if (spawn == nullptr || unixName == nullptr) return 127;
  wchar_t folder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  char* unixFolder = unixName(folder);
  if (unixFolder == nullptr) return 127;
  std::vector<std::string> arguments = {"/bin/sh", "-c", "cd \"$0\" && exec /usr/bin/bsdtar \"$@\"",
                                        unixFolder};
  HeapFree(GetProcessHeap(), 0, unixFolder);
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return spawn(pointers.data(), 1);
}
