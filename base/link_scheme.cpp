#include "base/link_scheme.h"

namespace {

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsSchemeCharacter(wchar_t c) {
  return IsLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}

}  // namespace

// RFC 3986: scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), then ":".
std::wstring LinkScheme(const std::wstring& target) {
  const std::size_t colon = target.find(L':');
  if (colon == std::wstring::npos || colon < 2 || !IsLetter(target[0])) return L"";
  for (std::size_t i = 1; i < colon; ++i) {
    if (!IsSchemeCharacter(target[i])) return L"";
  }
  return target.substr(0, colon);
}

bool IsFullPath(const std::wstring& path) {
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}
