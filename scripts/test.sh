#!/usr/bin/env bash
# The test command: installs what is missing, builds both flavours, then runs
# every test of each flavour (32-bit first, the one we deliver) under Wine, in
# the flavour's own prefix, on a private Xvfb display with a window manager.
# Arguments are passed to ctest (for example -R label); KV_ARCHES="x86_64"
# builds and tests one flavour only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
. "$root/scripts/wine-session.sh"
bash "$root/scripts/build.sh"

trap kv_session_stop EXIT
kv_start_desktop

status=0
for arch in ${KV_ARCHES:-i686 x86_64}; do
  build=$build_root/$arch
  kv_init_wineprefix "$build/wineprefix"
  # The probe needs kvhub.exe; a build of some targets only may lack it, and
  # then the suites themselves find out whether 32-bit programs start.
  if [ "$arch" = i686 ] && [ -f "$build/bin/kvhub.exe" ] && ! kv_runs_32bit "$build/bin/kvhub.exe"; then
    echo "test.sh: this machine cannot run 32-bit Windows programs (kernel or wine32:i386 missing): testing the 64-bit flavour only" >&2
    kv_stop_wineprefix
    continue
  fi
  echo "== $arch"
  (cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@") || status=1
  kv_stop_wineprefix
done
exit $status
