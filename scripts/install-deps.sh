#!/usr/bin/env bash
# Installs, as root on Debian, every package the build and the tests need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  cmake ninja-build dpkg-dev xz-utils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine64 wine32:i386 xvfb xauth openbox x11-utils
  fonts-dejavu-core fonts-liberation2
  googletest nlohmann-json3-dev
  clang libclang-rt-14-dev python3 python3-pil
  python3-werkzeug
)

# The 32-bit flavour's programs run in Wine's 32-bit half (wine32:i386).
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source packages (Xerces) are reachable only with deb-src in the apt sources;
# add it only where a stanza lacks it, and refresh the index only when the
# source package is not known yet.
src_list=/etc/apt/sources.list.d/debian.sources
if [ -f "$src_list" ] && grep -q '^Types: deb$' "$src_list"; then
  sed -i 's/^Types: deb$/Types: deb deb-src/' "$src_list"
  need_update=1
fi
apt-cache showsrc xerces-c 2>/dev/null | grep -q '^Package:' || need_update=1
if [ ${#missing[@]} -gt 0 ] || [ "$need_update" = 1 ]; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
