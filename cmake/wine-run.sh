#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own Wine prefix, so that
# tests never touch a user's prefix. Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# Debian keeps the loader off the PATH; it hands a 32-bit program to Wine's
# 32-bit half (wine32:i386) by itself.
set -eu
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: they would be offered for download on first start.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=d;mshtml=d}
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=wine
exec "$loader" "$@"
