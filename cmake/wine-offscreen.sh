#!/usr/bin/env bash
# Runs a Windows program under Wine without a display: in a prefix of its own,
# made on first use, whose graphics driver is Wine's null driver, where windows
# can be made and drawn offscreen though nothing is shown anywhere. The build
# draws pictures that need windows (kvskin render of a base-dialog section)
# with it. Usage: wine-offscreen.sh PREFIX PROGRAM [ARGS...]
set -eu
prefix=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$prefix/.kv-offscreen" ]; then
  "$here/wine-run.sh" "$prefix" wineboot -i >/dev/null 2>&1 || true
  "$here/wine-run.sh" "$prefix" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
    >/dev/null 2>&1
  # The registry reaches its file once the prefix's server has ended.
  WINEPREFIX=$prefix "$wineserver" -w
  touch "$prefix/.kv-offscreen"
fi
exec "$here/wine-run.sh" "$prefix" "$@"
