#!/bin/bash
# Sets up the machine and runs every test: host (plain and with sanitizers
# and the fuzzer), Wine and end to end. Artefacts (screenshots) end up in
# build/windows/artefacts.
set -euo pipefail
VANTREL_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
cd "$VANTREL_SOURCE"
source scripts/display.sh

bash scripts/setup.sh

for preset in host host-asan windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

ctest --preset host
ctest --preset host-asan

vantrel_wine_roots=("$VANTREL_SOURCE/build/windows/wine")
sh tests/wine/prefix.sh stop "${vantrel_wine_roots[@]}"
vantrel_need_display
ctest --preset windows
bash scripts/convert-shots.sh build/windows/artefacts
