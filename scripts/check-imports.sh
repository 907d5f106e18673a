#!/bin/bash
# Lists the static imports of the given Windows programs and fails on any
# DLL that is not one of Windows 10's KnownDLLs:
#   check-imports.sh <program.exe>...
# The loader resolves static imports before any of the program's code runs,
# by the standard search with the program's folder first; only KnownDLLs are
# always taken from system32 ("Dynamic-link library search order", Microsoft
# Learn: the list is the registry key
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs). The list
# below is that key's values on Windows 10 x64, and ntdll, which every
# process maps from system32 before its imports. comctl32 may stay: the
# manifest binds it to the side-by-side Common Controls 6 assembly in WinSxS.
set -euo pipefail
OBJDUMP=${OBJDUMP:-x86_64-w64-mingw32-objdump}

known="advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32
  kernel32 msctf msvcrt normaliz nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi
  shcore shell32 shlwapi user32 wldap32 wow64 wow64cpu wow64win ws2_32"
# One blank between names, and at both ends, for the word match below.
allowed=" $(echo $known comctl32) "

[ $# -gt 0 ] || { echo "usage: check-imports.sh <program.exe>..." >&2; exit 2; }
failed=0
for program in "$@"; do
  if ! imports=$("$OBJDUMP" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p') ||
    [ -z "$imports" ]; then
    echo "check-imports: no import table read from $program" >&2
    failed=1
    continue
  fi
  while read -r dll; do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    if [[ $allowed != *" $name "* ]]; then
      echo "check-imports: $program imports $dll, which is not a KnownDLL" >&2
      failed=1
    fi
  done <<<"$imports"
done
[ "$failed" = 0 ] && echo "check-imports: only KnownDLLs imported by $*"
exit "$failed"
