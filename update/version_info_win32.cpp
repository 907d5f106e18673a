#include "update/version_info.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "base/text.h"

namespace {

// The whole version resource of a file, copied out by version.dll; empty when
// the file has none or cannot be read. Kept in DWORDs because the resource's
// blocks are DWORD-aligned relative to the buffer's start.
std::vector<DWORD> LoadVersionInfo(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size < 1) return {};
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  if (!GetFileVersionInfoW(path.c_str(), 0, size, buffer.data())) return {};
  return buffer;
}

// VerQueryValueW hands back a pointer into the buffer and the value's length
// (bytes for binary values, characters for strings). A length shorter than
// the caller needs is treated as a missing value, so a damaged resource is
// never read past its end.
const void* QueryValue(std::vector<DWORD>& info, const std::wstring& subBlock, UINT minimumLength,
                       UINT* length) {
  void* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueW(info.data(), subBlock.c_str(), &value, &valueLength)) return nullptr;
  if (value == nullptr || valueLength < minimumLength) return nullptr;
  if (length != nullptr) *length = valueLength;
  return value;
}

// The ProductVersion string of one language block, trimmed; false when the
// block or its entry does not exist.
bool QueryProductVersion(std::vector<DWORD>& info, const std::wstring& block, std::wstring* text) {
  UINT length = 0;
  const void* value =
      QueryValue(info, L"\\StringFileInfo\\" + block + L"\\ProductVersion", 0, &length);
  if (value == nullptr) return false;
  // The length counts characters and may include the terminator; stop at
  // whichever comes first.
  const auto* chars = static_cast<const wchar_t*>(value);
  *text = TrimSpaces(std::wstring(chars, wcsnlen(chars, length)));
  return true;
}

}  // namespace

std::wstring ReadFileVersion(const std::wstring& path) {
  std::vector<DWORD> info = LoadVersionInfo(path);
  if (info.empty()) return L"";
  const void* value = QueryValue(info, L"\\", sizeof(VS_FIXEDFILEINFO), nullptr);
  if (value == nullptr) return L"";
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  return FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

std::wstring ReadProductVersion(const std::wstring& path) {
  std::vector<DWORD> info = LoadVersionInfo(path);
  if (info.empty()) return L"";
  // Each translation entry is a language word followed by a code-page word.
  const void* value = QueryValue(info, L"\\VarFileInfo\\Translation", 2 * sizeof(WORD), nullptr);
  if (value == nullptr) return L"";
  const auto* translation = static_cast<const WORD*>(value);
  std::wstring text;
  if (QueryProductVersion(info, LanguageBlockName(translation[0], translation[1]), &text)) {
    return text;
  }
  if (QueryProductVersion(info, kFallbackLanguageBlock, &text)) return text;
  return L"";
}
