#!/bin/bash
# Installs what the build and the tests need on Debian 12 (as root), or
# prints the exact command to run when it cannot.
set -euo pipefail

packages=(cmake ninja-build g++ googletest
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 libz-mingw-w64-dev
          wine wine32:i386 xvfb xauth imagemagick zip unzip)
# The kernels of some machines run no 32-bit Linux programs; Wine's 32-bit
# loader then runs through qemu's user-mode emulation.
packages+=(qemu-user-static)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
