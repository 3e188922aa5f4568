#!/usr/bin/env bash
# Installs what is missing, builds Xerces-C++ once per flavour, then builds
# the 32-bit (build/i686) and 64-bit (build/x86_64) flavours.
# BUILD_ROOT chooses another build folder; KV_SKIP_INSTALL=1 skips apt;
# KV_TARGETS="a b" builds only those targets (and what they need).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
[ "${KV_SKIP_INSTALL:-0}" = 1 ] || bash "$root/scripts/install-deps.sh"

# ccache, when the machine has it, makes rebuilds in fresh build folders cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# KV_ARCHES="x86_64" builds one flavour only (quicker while working).
for arch in ${KV_ARCHES:-x86_64 i686}; do
  bash "$root/scripts/build-xerces.sh" "$arch"
  cmake -S "$root" -B "$build_root/$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DXERCES_BUILD_DIR="$root/.cache/xerces/$arch/build" \
    -DXERCES_SOURCE_DIR="$root/.cache/xerces/source" "${launcher[@]}" >/dev/null
  # shellcheck disable=SC2086 # the targets are words
  cmake --build "$build_root/$arch" -j"$(nproc)" ${KV_TARGETS:+--target $KV_TARGETS}
done
