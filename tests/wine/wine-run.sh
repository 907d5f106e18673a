#!/bin/sh
# Runs a Windows program under Wine in the given prefix:
#   wine-run.sh <prefix folder> <program.exe> [arguments...]
# The prefix is copied from a template made once per Wine version and kept
# in a cache outside the repository. A persistent wineserver is started for
# the prefix with no pipes attached: one started by wine itself would inherit
# CTest's output pipe and make every test wait for it to close.
set -eu
prefix=$1
shift
here=$(dirname "$0")
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}"

mkdir -p "$(dirname "$prefix")"
flock "$prefix.lock" sh "$here/prefix.sh" create "$prefix"
sh "$here/prefix.sh" serve "$prefix"

# Programs the test starts (Wine's desktop process among them) inherit its
# output; sent straight to CTest's pipe, it would keep CTest waiting for as
# long as they live. A file is handed over once the test has ended instead.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$WINE" "$@" >"$output" 2>&1 </dev/null || status=$?
cat "$output"
exit "$status"
