#!/usr/bin/env bash
# The first thing to run: installs what is missing, builds what is not built,
# then runs the demo host kvdemo under wine64 in the build's own Wine prefix.
# With DISPLAY set it opens on that display and runs until closed; without one
# it takes a scripted tour on a private Xvfb display and writes a screenshot
# of each step to build/demo. Exit status: kvdemo's.
# BUILD_ROOT, KV_SKIP_INSTALL as for build.sh; KV_ARCHES defaults to x86_64,
# the flavour that runs here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
. "$root/scripts/wine-session.sh"

[ "${KV_SKIP_INSTALL:-0}" = 1 ] || bash "$root/scripts/install-deps.sh"
arches=${KV_ARCHES:-x86_64}
case " $arches " in *" x86_64 "*) ;; *) arches="$arches x86_64" ;; esac
# Only the demo and what it runs: a fresh machine need not build every suite.
KV_SKIP_INSTALL=1 KV_ARCHES=$arches KV_TARGETS=${KV_TARGETS:-kvdemo} bash "$root/scripts/build.sh"

build=$build_root/x86_64
demo=$build/bin/kvdemo.exe
if [ ! -f "$demo" ]; then
  echo "demo.sh: kvdemo.exe was not built: $demo is missing" >&2
  exit 1
fi

trap kv_session_stop EXIT
tour=()
if [ -z "${DISPLAY:-}" ]; then
  kv_start_desktop
  rm -rf "$build_root/demo"
  mkdir -p "$build_root/demo"
  # A relative path needs no translation between Unix and Windows names.
  tour=(--tour demo)
fi
kv_init_wineprefix "$build/wineprefix"

status=0
(cd "$build_root" && "$root/cmake/wine-run.sh" "$WINEPREFIX" "$demo" "${tour[@]}") || status=$?
if [ ${#tour[@]} -gt 0 ]; then
  shots=("$build_root"/demo/*.png)
  if [ -e "${shots[0]}" ]; then
    echo "demo.sh: the tour's screenshots (and tour.json) are in $build_root/demo:"
    printf '  %s\n' "${shots[@]##*/}"
  else
    echo "demo.sh: the tour wrote no screenshots to $build_root/demo" >&2
  fi
fi
exit "$status"
