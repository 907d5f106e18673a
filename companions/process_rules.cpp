#include "companions/process_rules.h"

#include "base/text.h"

// An empty wanted name or title part matches nothing. The snapshot can list
// a process with an empty name while it is still starting, and every title
// contains the empty text; matching those would end or close a program
// nobody asked for.

bool ExecutableNameMatches(const std::wstring& entryExeFile, const std::wstring& wantedName) {
  if (wantedName.empty()) return false;
  // Snapshot entries normally carry a bare file name, but some systems report
  // a path; only that side is cut, so a wanted full path never matches.
  return FileNamePart(ToUpperAscii(entryExeFile)) == ToUpperAscii(wantedName);
}

bool TitleContainsPart(const std::wstring& title, const std::wstring& part) {
  if (part.empty()) return false;
  return ToLowerAscii(title).find(ToLowerAscii(part)) != std::wstring::npos;
}
