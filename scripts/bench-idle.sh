#!/bin/bash
# Idle cost of Vantrel against the floor, in one run under Wine: first a bare
# window with a 50 ms MsgWaitForMultipleObjectsEx loop, then Vantrel with a
# simulated headset (found, switched off), each in the same prefix. After
# BENCH_SETTLE_SECONDS (default 15) it reads the program's and wineserver's
# CPU time (utime + stime) and again BENCH_SECONDS (default 60) later, and
# prints both and Vantrel's ratios to the bare loop. Then it prints the
# platform calls of one idle minute counted on the simulated machine.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh
source scripts/simulated-headset.sh
settle=${BENCH_SETTLE_SECONDS:-15}
measured=${BENCH_SECONDS:-60}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}

cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel fake_cfgmgr32 idle_bare_loop
cmake --preset host >/dev/null
cmake --build --preset host --target idle_calls_benchmark

bench_root="$VANTREL_SOURCE/build/bench"
program="$bench_root/program"
prefix="$bench_root/wine/prefix"
rm -rf "$program"
mkdir -p "$program"
cp build/windows/bin/Vantrel.exe build/windows/tests/bin/idle_bare_loop.exe "$program/"
vantrel_wine_roots=("$bench_root/wine")
vantrel_need_display
vantrel_simulated_headset "$prefix"
ticks_per_second=$(getconf CLK_TCK)

# The Linux process of the prefix whose command name starts like `name`
# (the kernel keeps 15 characters of it).
prefix_pid() {
  local name=${1:0:15} process
  for process in /proc/[0-9]*; do
    [ "$(cat "$process/comm" 2>/dev/null)" = "$name" ] || continue
    if { tr '\0' '\n' <"$process/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "${process#/proc/}"
      return
    fi
  done
  echo "bench: no process $name in the prefix" >&2
  return 1
}

# utime + stime in clock ticks; the command name in field 2 may hold blanks.
cpu_ticks() {
  sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# Prints "<program seconds> <wineserver seconds>" for one program.
measure() {
  local exe=$1
  sh tests/wine/wine-run.sh "$prefix" "$program/$exe" >/dev/null 2>&1 &
  local runner=$!
  sleep "$settle"
  # The pointer rests on the desktop, away from both windows, as when the
  # program sits in the tray; while it rests on Vantrel's window the hover
  # colouring reads it every turn.
  xdotool mousemove 1010 10
  sleep 1
  local pid server
  pid=$(prefix_pid "$exe")
  server=$(prefix_pid "$(basename "$WINESERVER")")
  local pid0 server0 pid1 server1
  pid0=$(cpu_ticks "$pid")
  server0=$(cpu_ticks "$server")
  sleep "$measured"
  pid1=$(cpu_ticks "$pid")
  server1=$(cpu_ticks "$server")
  WINEPREFIX="$prefix" "$WINESERVER" -k || true
  wait "$runner" || true
  awk -v p=$((pid1 - pid0)) -v s=$((server1 - server0)) -v t="$ticks_per_second" \
    'BEGIN { printf "%.2f %.2f\n", p / t, s / t }'
}

read -r bare_cpu bare_server < <(measure idle_bare_loop.exe)
read -r vantrel_cpu vantrel_server < <(measure Vantrel.exe)

echo
echo "CPU time in ${measured} s of idle, under Wine (one run)"
printf '| %-46s | %8s | %10s |\n' "" "program" "wineserver"
printf '|%s|%s|%s|\n' "------------------------------------------------" "----------" "------------"
printf '| %-46s | %7ss | %9ss |\n' "bare window, 50 ms MsgWaitForMultipleObjectsEx" "$bare_cpu" "$bare_server"
printf '| %-46s | %7ss | %9ss |\n' "Vantrel.exe, simulated headset offline" "$vantrel_cpu" "$vantrel_server"
awk -v a="$vantrel_cpu" -v b="$bare_cpu" -v c="$vantrel_server" -v d="$bare_server" 'BEGIN {
  printf "Vantrel / bare loop: program %.1fx (goal <= 2x), wineserver %.1fx (goal <= 1.5x)\n",
    (b > 0 ? a / b : 0), (d > 0 ? c / d : 0)
}'
echo
build/host/tests/bin/idle_calls_benchmark
