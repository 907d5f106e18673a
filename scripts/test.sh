#!/bin/bash
# Sets up the machine and runs every test: host (plain, with address and
# thread sanitizers, and the fuzzer), Wine and end to end. Screenshots end
# up in build/windows/artefacts.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh

bash scripts/setup.sh

for preset in host host-asan host-tsan windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The elevated programs' static imports: KnownDLLs only.
bash scripts/check-imports.sh build/windows/bin/Vantrel.exe build/windows/bin/vtrel.updater.exe

ctest --preset host
ctest --preset host-asan
ctest --preset host-tsan

vantrel_wine_roots=("$VANTREL_SOURCE/build/windows/wine")
sh tests/wine/prefix.sh stop "${vantrel_wine_roots[@]}"
vantrel_need_display
ctest --preset windows
bash scripts/convert-shots.sh build/windows/artefacts
