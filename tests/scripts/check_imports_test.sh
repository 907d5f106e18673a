#!/bin/bash
# The import check against import tables of its own, printed by a stand-in
# for objdump in the format of `objdump -p`: a DLL outside the KnownDLLs
# fails however it is spelt, and names are matched whole.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-imports.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#!/bin/sh\ncat "$2"\n' >"$work/objdump"
chmod +x "$work/objdump"

failures=0
# expect <pass|fail> <imported DLL>...
expect() {
  local want=$1 got=pass
  shift
  printf '\tDLL Name: %s\n' "$@" >"$work/program.exe"
  OBJDUMP=$work/objdump bash "$script" "$work/program.exe" >/dev/null 2>&1 || got=fail
  if [ "$got" != "$want" ]; then
    echo "expected $want, got $got: $*"
    failures=$((failures + 1))
  fi
}

expect pass KERNEL32.dll USER32.dll msvcrt.dll COMCTL32.dll WS2_32.dll
expect fail KERNEL32.dll bcrypt.dll USER32.dll
expect fail KERNEL32.dll CRYPT32.dll
expect fail gdi32full.dll
expect fail 32.dll
: >"$work/program.exe"
OBJDUMP=$work/objdump bash "$script" "$work/program.exe" >/dev/null 2>&1 &&
  { echo "expected fail for a program with no import table"; failures=$((failures + 1)); }
((failures == 0)) && echo "check-imports tests: all passed"
exit $((failures > 0))
