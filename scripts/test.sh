#!/usr/bin/env bash
# The test command: installs what is missing, builds both flavours, then runs
# every test of the 64-bit flavour under wine64 on an Xvfb display of its own.
# Arguments are passed to ctest (for example -R label).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
bash "$root/scripts/build.sh"

build=$build_root/x86_64
display=$(python3 - <<'PY'
import os
n = 90
while os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
    n += 1
print(n)
PY
)
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
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
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# Make the prefix once, before tests run side by side in it.
"$root/cmake/wine-run.sh" "$WINEPREFIX" wineboot -i >/dev/null 2>&1 || true
"$wineserver" -w 2>/dev/null || true

cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
