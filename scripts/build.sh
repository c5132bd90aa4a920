#!/bin/bash
# Configures and builds the three trees: host, host with sanitizers, Win32.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake -S . -B build/host-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFD_SANITIZE=ON >/dev/null
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
for tree in build/host build/host-asan build/win32; do
  cmake --build "$tree"
done
