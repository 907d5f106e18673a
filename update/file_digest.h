// The SHA3-224 digest of a whole file, shared by the program and the updater.
#pragma once

#include <string>

// 56 lowercase hexadecimal digits; empty when the file cannot be read.
std::wstring FileSha3_224(const std::wstring& path);

// Whether the file's digest is `expected`. A file that cannot be read has
// no digest, and that matches nothing, not even an empty text.
inline bool FileHasDigest(const std::wstring& path, const std::wstring& expected) {
  const std::wstring digest = FileSha3_224(path);
  return !digest.empty() && digest == expected;
}
