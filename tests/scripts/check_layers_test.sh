#!/bin/bash
# The layer check against small trees of its own: an upward include is
# caught however it is written, and system headers pass.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the check on a tree holding one file with `text`; prints its verdict.
verdict() {
  local tree=$work/$1
  mkdir -p "$tree/scripts" "$(dirname "$tree/$2")"
  cp "$script" "$tree/scripts/"
  printf '%s\n' "$3" >"$tree/$2"
  git -C "$tree" init -q
  if bash "$tree/scripts/check-layers.sh" >/dev/null 2>&1; then echo pass; else echo fail; fi
}

failures=0
expect() {
  local got
  got=$(verdict "$2" "$3" "$4")
  if [ "$got" != "$1" ]; then
    echo "expected $1, got $got: $3: $4"
    failures=$((failures + 1))
  fi
}

expect fail quoted base/a.cpp '#include "ui/tray.h"'
expect fail angled base/a.cpp '#include <ui/tray.h>'
expect fail angled-spaced winsettings/a.h '  #  include  <headset/x.h>'
expect pass down ui/a.cpp '#include "base/files.h"'
expect pass angled-down ui/b.cpp '#include <base/files.h>'
expect pass system base/b.cpp '#include <windows.h>
#include <sys/stat.h>
#include <gtest/gtest.h>'
((failures == 0)) && echo "check-layers tests: all passed"
exit $((failures > 0))
