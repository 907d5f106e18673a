// The SHA3-224 digest of a whole file, shared by the program and the updater.
#pragma once

#include <string>

// 56 lowercase hexadecimal digits; empty when the file cannot be read.
std::wstring FileSha3_224(const std::wstring& path);
