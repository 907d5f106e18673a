#!/bin/bash
# Sets up the machine, builds Vantrel.exe and starts it under Wine in a
# program folder of its own (build/run/program), with a simulated headset:
# the test-only configuration manager library beside the program keeps two
# device nodes (plugged in, switched off) in the prefix's registry, so the
# tray menu can switch them. Without a display it runs on Xvfb and saves a
# screenshot. The program runs until it is closed, or for
# VANTREL_RUN_SECONDS seconds when that is set.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel fake_cfgmgr32

run_root="$VANTREL_SOURCE/build/run"
program="$run_root/program"
prefix="$run_root/wine/prefix"
mkdir -p "$program"
cp build/windows/bin/Vantrel.exe build/windows/tests/bin/cfgmgr32.dll "$program/"
vantrel_wine_roots=("$run_root/wine")
headless=
[ -n "${DISPLAY:-}" ] || headless=yes
vantrel_need_display

wine_reg() {
  sh tests/wine/wine-run.sh "$prefix" reg add "$@" /f >/dev/null
}
# Wine loads a library beside the program only when told to.
wine_reg 'HKCU\Software\Wine\AppDefaults\Vantrel.exe\DllOverrides' /v cfgmgr32 /d native,builtin
sensors='USB\VID_045E&PID_0659&MI_03\7&1A2B&0&0003'
headset='USB\VID_045E&PID_0659&MI_04\7&1A2B&0&0004'
enum='HKLM\SYSTEM\CurrentControlSet\Enum\'
wine_reg "$enum$sensors" /v FriendlyName /d 'HoloLens Sensors'
wine_reg "$enum$headset" /v FriendlyName /d 'Acme Mixed Reality Headset'
# Problem code 22: the node is there but disabled, as after "Stop WMR headset".
for node in "$sensors" "$headset"; do
  wine_reg 'HKCU\Software\VantrelTest\DeviceNodes' /v "$node" /t REG_DWORD /d 22
done

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
