#!/usr/bin/env bash
# Builds Xerces-C++ from Debian's patched source package as a static library
# for one MinGW flavour, into .cache/xerces/<arch>. Does nothing when the
# library is already there.
set -euo pipefail
arch=${1:?usage: build-xerces.sh x86_64|i686}
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$root/.cache/xerces
out=$cache/$arch
[ -f "$out/build/src/libxerces-c.a" ] && exit 0

mkdir -p "$cache"
# Builds started side by side (several checkouts sharing one cache) take
# turns: the first builds, the others then find the library.
exec 9>"$cache/.lock-$arch"
flock 9
[ -f "$out/build/src/libxerces-c.a" ] && exit 0
# Debian's tree carries the patch for the external-DTD use-after-free
# (CVE-2018-1311); the bare upstream tarball does not, so always unpack
# through dpkg-source.
if [ ! -d "$cache/source/src/xercesc" ]; then
  (cd "$cache" && rm -rf download && mkdir download && cd download &&
    apt-get source --download-only xerces-c >/dev/null &&
    rm -rf "$cache/source" &&
    dpkg-source -x ./xerces-c_*.dsc "$cache/source" >/dev/null)
fi

rm -rf "$out"
mkdir -p "$out/build"
cmake -S "$cache/source" -B "$out/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
  -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory \
  -Dthreads=ON >"$out/configure.log" 2>&1 || { tail -30 "$out/configure.log"; exit 1; }
ninja -C "$out/build" xerces-c >"$out/build.log" 2>&1 || { tail -30 "$out/build.log"; exit 1; }
