#!/usr/bin/env bash
# Runs the scale suite once per display DPI, in a Wine prefix of its own:
# "LogPixels" holds for every program of a prefix, and the suites that run
# beside this one share the flavour's prefix at 96 DPI.
# Usage: run_scale.sh FLAVOUR_PREFIX SCALE_PREFIX PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
base=$1 prefix=$2 program=$3
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64

# Made once, as a copy of the flavour's prefix (a few seconds, against most
# of a minute for a new one), or anew when there is none.
if [ ! -f "$prefix/user.reg" ]; then
  rm -rf "$prefix"
  if [ -f "$base/user.reg" ]; then
    mkdir -p "$prefix" && cp -a "$base/drive_c" "$base/dosdevices" "$base"/*.reg \
      "$base/.update-timestamp" "$prefix/" || exit 1
  else
    "$root/cmake/wine-run.sh" "$prefix" wineboot -i >/dev/null 2>&1
  fi
fi
# Its wineserver is ours to stop.
trap 'WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true' EXIT

status=0
for dpi in 96 120 144 192; do
  "$root/cmake/wine-run.sh" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null || { echo "run_scale.sh: reg add failed" >&2; exit 1; }
  # Each program reads the value as it starts: the prefix's server keeps
  # running between the runs (the suite checks that the DPI took).
  echo "== LogPixels $dpi"
  KV_SCALE_DPI=$dpi "$root/cmake/wine-gtest.sh" "$prefix" "$program" || status=1
done
exit $status
