#!/bin/bash
# Screenshots taken under Wine are BMP files; turn them into PNG beside them.
set -euo pipefail
folder=$1
[ -d "$folder" ] || exit 0
for shot in "$folder"/*.bmp; do
  [ -e "$shot" ] || continue
  /usr/bin/convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
echo "screenshots: $(cd "$folder" && pwd)"
