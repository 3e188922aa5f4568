# Sourced by test.sh, demo.sh and kv: a private Xvfb display with a real window
# manager, and a Wine prefix of the build's own, all stopped by kv_session_stop
# (give it to `trap ... EXIT` before starting any, so a failed start is
# cleaned up too).

kv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kv_wineserver=/usr/lib/wine/wineserver
[ -x "$kv_wineserver" ] || kv_wineserver=/usr/lib/wine/wineserver64
kv_xvfb_pid=
kv_wm_pid=
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

# Starts openbox on $DISPLAY and waits until it manages the screen, so that
# windows meet what a desktop does: stacking, activation, a manager's move loop.
kv_start_wm() {
  local log attempt i
  log=$(mktemp)
  for attempt in 1 2 3; do
    openbox --sm-disable >"$log" 2>&1 &
    kv_wm_pid=$!
    for i in $(seq 150); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        rm -f "$log"
        return 0
      fi
      # Gone before it managed the screen: start it again.
      kill -0 "$kv_wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$kv_wm_pid" 2>/dev/null || true
    wait "$kv_wm_pid" 2>/dev/null || true
  done
  kv_wm_pid=
  echo "$(basename "$0"): the window manager (openbox) did not start: $(tail -n 3 "$log")" >&2
  rm -f "$log"
  return 1
}

# Xvfb with a window manager: the world the GUI suites and the demo run in.
kv_start_desktop() {
  kv_start_xvfb && kv_start_wm
}

# Exports WINEPREFIX=$1 and makes the prefix now, so that programs started
# side by side later do not race to create it. A persistent wineserver and
# Wine's own services are then started with their output discarded: started by
# the first test instead, they would hold that test's output pipe open, and
# ctest would wait on it until the session ends.
kv_init_wineprefix() {
  kv_wineprefix=$1
  export WINEPREFIX=$1
  # A prefix made before Wine's 32-bit half was installed cannot start 32-bit
  # programs until it is updated.
  local update=-i
  if [ -d "$WINEPREFIX/drive_c/windows" ] && [ -x /usr/lib/wine/wine ] &&
     [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    update=-u
  fi
  "$kv_root/cmake/wine-run.sh" "$WINEPREFIX" wineboot $update >/dev/null 2>&1 || true
  "$kv_wineserver" -w 2>/dev/null || true
  "$kv_wineserver" -p >/dev/null 2>&1 </dev/null || true
  "$kv_root/cmake/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Stops the wineserver of the prefix kv_init_wineprefix started (never a user's).
kv_stop_wineprefix() {
  if [ -n "$kv_wineprefix" ]; then
    WINEPREFIX=$kv_wineprefix "$kv_wineserver" -k 2>/dev/null || true
    kv_wineprefix=
  fi
}

# True when this machine runs 32-bit Windows programs: kvhub.exe of the i686
# build must answer a bare call with its usage (exit 64). Without Wine's
# 32-bit half it exits 0 silently; a kernel without 32-bit support fails.
kv_runs_32bit() {
  local hub=$1
  "$kv_root/cmake/wine-run.sh" "$WINEPREFIX" "$hub" >/dev/null 2>&1 </dev/null
  [ $? = 64 ]
}

# Stops our prefix's wineserver, our window manager and our Xvfb, by pid.
kv_session_stop() {
  kv_stop_wineprefix
  if [ -n "$kv_wm_pid" ]; then
    kill "$kv_wm_pid" 2>/dev/null || true
    wait "$kv_wm_pid" 2>/dev/null || true
  fi
  if [ -n "$kv_xvfb_pid" ]; then
    kill "$kv_xvfb_pid" 2>/dev/null || true
    wait "$kv_xvfb_pid" 2>/dev/null || true
  fi
}
