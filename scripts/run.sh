#!/bin/bash
# Sets up the machine, builds Vantrel.exe and starts it under Wine in a
# program folder of its own (build/run/program), with a simulated headset:
# the test-only configuration manager library in the prefix's system32 keeps two
# device nodes (plugged in, switched off) in the prefix's registry, so the
# tray menu can switch them. Without a display it runs on Xvfb and saves a
# screenshot. The program runs until it is closed, or for
# VANTREL_RUN_SECONDS seconds when that is set.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh
source scripts/simulated-headset.sh

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel fake_cfgmgr32

run_root="$VANTREL_SOURCE/build/run"
program="$run_root/program"
prefix="$run_root/wine/prefix"
mkdir -p "$program"
cp build/windows/bin/Vantrel.exe "$program/"
vantrel_wine_roots=("$run_root/wine")
headless=
[ -n "${DISPLAY:-}" ] || headless=yes
vantrel_need_display

vantrel_simulated_headset "$prefix"

sh tests/wine/wine-run.sh "$prefix" "$program/Vantrel.exe" &
wine_pid=$!

if [ -n "$headless" ]; then
  sleep 5
  import -window root "$run_root/screenshot.png"
  echo "screenshot: $run_root/screenshot.png"
fi
echo "program folder: $program (settings: $program/Vantrel.ini)"
echo "wine prefix: $prefix"

if [ -n "${VANTREL_RUN_SECONDS:-}" ]; then
  sleep "$VANTREL_RUN_SECONDS"
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k || true
fi
wait "$wine_pid" || true
