#!/usr/bin/env bash
# Makes the SDK zips with CPack: dist/Kelvane-<version>-win32.zip from the
# 32-bit flavour and -win64.zip from the 64-bit one, each holding what
# `cmake --install` lays out, with the binaries stripped. Builds first, as
# scripts/build.sh does (same variables: BUILD_ROOT, KV_ARCHES, KV_SKIP_INSTALL);
# DIST_DIR chooses another output folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
dist=${DIST_DIR:-$root/dist}
bash "$root/scripts/build.sh"

# CPack leaves its staging tree beside the package: keep it out of dist.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$dist"
for arch in ${KV_ARCHES:-x86_64 i686}; do
  cpack -G ZIP --config "$build_root/$arch/CPackConfig.cmake" -B "$stage/$arch" >/dev/null
  for zip in "$stage/$arch"/Kelvane-*.zip; do
    mv -f "$zip" "$dist/"
    echo "$dist/$(basename "$zip")"
  done
done
