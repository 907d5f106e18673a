#!/bin/bash
# Lists every include that points up the layers and fails when there is one.
# A room may include its own headers and those of lower layers only; rooms
# that share a layer do not include each other. Tests sit above everything.
set -euo pipefail
cd "$(dirname "$0")/.."

# Bottom first; rooms on one line share a layer.
layers=(
  "base resources"
  "winsettings autostart"
  "companions"
  "ui"
  "headset"
  "update"
  "app updater"
)

declare -A layer_of
for index in "${!layers[@]}"; do
  for room in ${layers[$index]}; do
    layer_of[$room]=$index
  done
done

found=0
while IFS= read -r file; do
  room=${file%%/*}
  [ -n "${layer_of[$room]:-}" ] || continue
  while IFS=: read -r line include; do
    target=${include#*[\"<]}
    target=${target%%[\">]*}
    target_room=${target%%/*}
    [ "$target_room" != "$target" ] || continue
    [ "$target_room" != "$room" ] || continue
    # The project's root is on the include path, so <ui/tray.h> finds the
    # same header as "ui/tray.h"; other angle includes are the system's.
    if [ -z "${layer_of[$target_room]:-}" ]; then
      [[ $include == *\"* ]] || continue
    elif ((layer_of[$target_room] < layer_of[$room])); then
      continue
    fi
    echo "$file:$line: $include"
    found=1
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" || true)
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' '*.rc' '*.in')

if ((found)); then
  echo "check-layers: the includes above point up (order, bottom first: ${layers[*]})" >&2
  exit 1
fi
echo "check-layers: every include points down"
