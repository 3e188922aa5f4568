# Sourced by test.sh and demo.sh: a private Xvfb display and a Wine prefix of
# the build's own, both stopped by kv_session_stop (give it to `trap ... EXIT`
# before starting either, so a failed start is cleaned up too).

kv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kv_wineserver=/usr/lib/wine/wineserver
[ -x "$kv_wineserver" ] || kv_wineserver=/usr/lib/wine/wineserver64
kv_xvfb_pid=
kv_wineprefix=

# Starts Xvfb on a display it picks itself and exports DISPLAY. Xvfb writes the
# number to the pipe once it accepts clients; no number means it did not start.
kv_start_xvfb() {
  local fifo display
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  kv_xvfb_pid=$!
  display=$(timeout 30 head -n 1 "$fifo" || true)
  rm -f "$fifo"
  if [ -z "$display" ]; then
    echo "$(basename "$0"): Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$display"
}

# Exports WINEPREFIX=$1 and makes the prefix now, so that programs started
# side by side later do not race to create it. A persistent wineserver and
# Wine's own services are then started with their output discarded: started by
# the first test instead, they would hold that test's output pipe open, and
# ctest would wait on it until the session ends.
kv_init_wineprefix() {
  kv_wineprefix=$1
  export WINEPREFIX=$1
  "$kv_root/cmake/wine-run.sh" "$WINEPREFIX" wineboot -i >/dev/null 2>&1 || true
  "$kv_wineserver" -w 2>/dev/null || true
  "$kv_wineserver" -p >/dev/null 2>&1 </dev/null || true
  "$kv_root/cmake/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Stops the wineserver of our own prefix (never a user's) and our Xvfb, by pid.
kv_session_stop() {
  if [ -n "$kv_wineprefix" ]; then
    WINEPREFIX=$kv_wineprefix "$kv_wineserver" -k 2>/dev/null || true
  fi
  if [ -n "$kv_xvfb_pid" ]; then
    kill "$kv_xvfb_pid" 2>/dev/null || true
    wait "$kv_xvfb_pid" 2>/dev/null || true
  fi
}
