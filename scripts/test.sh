#!/usr/bin/env bash
# The test command: installs what is missing, builds both flavours, then runs
# every test of the 64-bit flavour under wine64 on an Xvfb display of its own.
# Arguments are passed to ctest (for example -R label).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
bash "$root/scripts/build.sh"

build=$build_root/x86_64
# Xvfb picks a free display itself and writes its number to the pipe once it
# accepts clients; no number means it did not start.
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
export WINEPREFIX=$build/wineprefix
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
display=$(timeout 30 head -n 1 "$fifo" || true)
rm -f "$fifo"
if [ -z "$display" ]; then
  echo "test.sh: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display"

# Make the prefix once, before tests run side by side in it.
"$root/cmake/wine-run.sh" "$WINEPREFIX" wineboot -i >/dev/null 2>&1 || true
"$wineserver" -w 2>/dev/null || true

cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
