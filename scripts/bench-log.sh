#!/bin/bash
# Times one event-log line (append plus view refresh) at 1,000 and 20,000
# lines, under Wine with the real rich-edit control.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target log_benchmark
vantrel_wine_roots=("$VANTREL_SOURCE/build/windows/wine")
vantrel_need_display
sh tests/wine/wine-run.sh "$VANTREL_SOURCE/build/windows/wine/bench" build/windows/tests/bin/log_benchmark.exe
