#!/bin/bash
# Installs what is missing, builds the host and Windows trees, and runs
# every test: host unit tests (plain and under ASan+UBSan), then the Win32
# unit tests and the end-to-end scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/build.sh

status=0
for tree in build/host build/host-asan; do
  (cd "$tree" && ctest --output-on-failure --timeout 300) || status=1
done
scripts/wine-session.sh bash -c 'cd build/win32 && ctest --output-on-failure' || status=1
exit $status
