#include "companions/process_rules.h"

#include "base/text.h"

namespace {

std::wstring ComparablePath(const std::wstring& path) {
  std::wstring comparable = ToUpperAscii(path);
  for (wchar_t& c : comparable) {
    if (c == L'/') c = L'\\';
  }
  return comparable;
}

}  // namespace

// An empty wanted name matches nothing. The snapshot can list a process with
// an empty name while it is still starting, and an image that cannot be read
// is empty; matching those would end or close a program nobody asked for.

bool ExecutableNameMatches(const std::wstring& entryExeFile, const std::wstring& wantedName) {
  if (wantedName.empty()) return false;
  // Snapshot entries normally carry a bare file name, but some systems report
  // a path; only that side is cut, so a wanted full path never matches.
  return FileNamePart(ToUpperAscii(entryExeFile)) == ToUpperAscii(wantedName);
}

bool ImageIs(const std::wstring& imagePath, const std::wstring& wanted) {
  if (FileNamePart(wanted) == wanted) return ExecutableNameMatches(imagePath, wanted);
  return ComparablePath(imagePath) == ComparablePath(wanted);
}
