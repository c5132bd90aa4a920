#!/bin/bash
# Configures and builds the three trees: host, host with sanitizers, Win32.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake -S . -B build/host-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFD_SANITIZE=ON >/dev/null
for tree in build/host build/host-asan; do
  cmake --build "$tree"
done
# The Windows tree packs its test archives with the host's fdpack.
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DFD_FDPACK="$PWD/build/host/tools/fdpack/fdpack" >/dev/null
cmake --build build/win32
