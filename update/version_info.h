// The program's own version, read from the version resource of a file.
#pragma once

#include <cstdint>
#include <string>

// Four dotted numbers of the fixed file version; empty on any failure.
std::wstring ReadFileVersion(const std::wstring& path);

// ProductVersion from the string table, trimmed; empty on any failure.
std::wstring ReadProductVersion(const std::wstring& path);

// Portable pieces of the two reads above.
std::wstring FormatFileVersion(std::uint32_t versionMs, std::uint32_t versionLs);
// Language word and code-page word as 8 upper-case hexadecimal digits.
std::wstring LanguageBlockName(std::uint16_t language, std::uint16_t codePage);
inline constexpr wchar_t kFallbackLanguageBlock[] = L"040904E4";
