#!/bin/sh
# Wine prefixes for tests and for running the program:
#   prefix.sh create <prefix>    copy the cached template (call under a lock)
#   prefix.sh serve <prefix>     start the prefix's persistent wineserver
#   prefix.sh stop <folder>...   end the wineservers of every prefix below
set -eu
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
cache=${VANTREL_CACHE:-/var/cache/vantrel}
wine_version=$("$WINE" --version | tr -c 'A-Za-z0-9.\n' '_')
template="$cache/wine-prefix-$wine_version"

make_template() {
  mkdir -p "$cache"
  rm -rf "$template.new"
  # No Mono or Gecko: their installers would ask for downloads.
  WINEPREFIX="$template.new" WINEDLLOVERRIDES="mscoree,mshtml=" \
    "$WINE" wineboot -i >/dev/null 2>&1
  # Wine's virtual desktop gives windows a frame and provides a notification
  # area for the tray icon; every process of the prefix shares it.
  WINEPREFIX="$template.new" "$WINE" reg add 'HKCU\Software\Wine\Explorer' \
    /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX="$template.new" "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' \
    /v Default /d 1024x768 /f >/dev/null 2>&1
  WINEPREFIX="$template.new" "$WINESERVER" -w
  mv "$template.new" "$template"
}

# Called under the prefix's lock; the server is started by `serve`, outside
# it, because a server started here would inherit the lock and hold it.
create() {
  prefix=$1
  [ -f "$prefix/system.reg" ] && return
  (flock 9; [ -f "$template/system.reg" ] || make_template) 9>"$cache.lock"
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
}

serve() {
  # Exit code 0: no server ran yet for the prefix and this one now does.
  if WINEPREFIX="$1" "$WINESERVER" -p60 </dev/null >/dev/null 2>&1 9>&-; then
    # Boot the prefix here, so its long-lived helper processes (services,
    # devices) start with no pipes of the caller either.
    WINEPREFIX="$1" "$WINE" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
}

stop() {
  for root in "$@"; do
    [ -d "$root" ] || continue
    find "$root" -maxdepth 2 -name system.reg | while read -r reg; do
      WINEPREFIX=$(dirname "$reg") "$WINESERVER" -k >/dev/null 2>&1 || true
    done
    # Wine's device hosts can outlive a killed server; end whatever still
    # runs in these prefixes.
    for process in /proc/[0-9]*; do
      if { tr '\0' '\n' <"$process/environ"; } 2>/dev/null | grep -q "^WINEPREFIX=$root/"; then
        kill -9 "${process#/proc/}" 2>/dev/null || true
      fi
    done
  done
}

mkdir -p "$(dirname "$cache")"
command=$1
shift
"$command" "$@"
