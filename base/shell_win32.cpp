#include <windows.h>
#include <shellapi.h>

#include "base/shell.h"

bool OpenShellLink(const std::wstring& target) {
  if (target.empty()) return false;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // Without NOASYNC the shell may finish on a thread that dies with a
  // short-lived caller; FLAG_NO_UI keeps a failed open from showing a box,
  // since the caller has a fall-back of its own.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = target.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}
