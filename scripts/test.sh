#!/usr/bin/env bash
# The test command: installs what is missing, builds both flavours, then runs
# every test of the 64-bit flavour under wine64 on an Xvfb display of its own.
# Arguments are passed to ctest (for example -R label).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
. "$root/scripts/wine-session.sh"
bash "$root/scripts/build.sh"

build=$build_root/x86_64
trap kv_session_stop EXIT
kv_start_xvfb
kv_init_wineprefix "$build/wineprefix"

cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@"
