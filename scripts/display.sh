# Sourced by the run and test scripts: gives them an X display. Uses the
# caller's display when there is one, otherwise starts Xvfb on a free number
# and stops it (after the Wine servers that use it) on exit.
vantrel_xvfb_pid=
vantrel_wine_roots=()

vantrel_cleanup() {
  if ((${#vantrel_wine_roots[@]})); then
    sh "$VANTREL_SOURCE/tests/wine/prefix.sh" stop "${vantrel_wine_roots[@]}" || true
  fi
  if [ -n "$vantrel_xvfb_pid" ]; then
    kill "$vantrel_xvfb_pid" 2>/dev/null || true
    wait "$vantrel_xvfb_pid" 2>/dev/null || true
  fi
}

vantrel_need_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return
  fi
  local number
  for number in $(seq 90 140); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] || break
  done
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  vantrel_xvfb_pid=$!
  export DISPLAY=":$number"
  local tries
  for tries in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return
    sleep 0.1
  done
  echo "display: Xvfb did not start" >&2
  return 1
}

trap vantrel_cleanup EXIT
