#!/bin/sh
# Starts and stops the update tests' local HTTPS server (update_server.py):
#   update_server.sh start <certificate folder> <state folder> <served root>
#   update_server.sh stop <state folder>
# "start" returns once the server listens; its ports are in the state
# folder's "port" and "stranger-port". The server runs in a session of its
# own with no pipes of the caller, so a test runner waiting for its child's
# output never waits for the server.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
case "$1" in
  start)
    certificates=$2 state=$3 root=$4
    mkdir -p "$certificates" "$state" "$root"
    rm -f "$state/port" "$state/pid"
    # The certificates are made once; starts at the same time wait for them.
    (
      flock 9
      setsid python3 "$here/update_server.py" "$certificates" "$state" "$root" \
        </dev/null >"$state/server.log" 2>&1 9>&- &
      for _ in $(seq 300); do
        [ -f "$state/port" ] && exit 0
        sleep 0.05
      done
      echo "update_server: not listening after 15 s" >&2
      cat "$state/server.log" >&2
      exit 1
    ) 9>"$certificates.lock"
    ;;
  stop)
    state=$2
    [ -f "$state/pid" ] && kill "$(cat "$state/pid")" 2>/dev/null || true
    rm -rf "$state"
    ;;
esac
