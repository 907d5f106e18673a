#include <windows.h>

#include <vector>

#include "base/win32_handles.h"
#include "update/file_digest.h"
#include "update/sha3.h"

std::wstring FileSha3_224(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return L"";
  Sha3State state;
  Sha3Start(state);
  // A multiple of the digest's block size keeps every read on the fast path.
  std::vector<char> buffer(kSha3_224RateBytes * 455);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return L"";
    }
    if (got == 0) break;
    Sha3Add(state, buffer.data(), got);
  }
  const std::string digest = Sha3FinishHex(state);
  return std::wstring(digest.begin(), digest.end());
}
