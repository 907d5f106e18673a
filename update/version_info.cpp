#include "update/version_info.h"

#include <string>

namespace {

std::wstring HexWord(std::uint16_t value) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(4, L'0');
  for (int i = 3; i >= 0; --i) {
    text[static_cast<size_t>(i)] = kDigits[value & 0xF];
    value = static_cast<std::uint16_t>(value >> 4);
  }
  return text;
}

}  // namespace

std::wstring FormatFileVersion(std::uint32_t versionMs, std::uint32_t versionLs) {
  // Most significant half first: year.month in MS, day.build in LS.
  return std::to_wstring(versionMs >> 16) + L"." + std::to_wstring(versionMs & 0xFFFF) + L"." +
         std::to_wstring(versionLs >> 16) + L"." + std::to_wstring(versionLs & 0xFFFF);
}

std::wstring LanguageBlockName(std::uint16_t language, std::uint16_t codePage) {
  return HexWord(language) + HexWord(codePage);
}
