#!/bin/bash
# make-fixtures.sh FDPACK BINDIR
# Distribution folders for the scenarios, each with its own setup.fd:
#   launch      the main program (the fake one, which records its start)
#   broken_main a "fardel32.ex_" that is no program
#   no_main     no "fardel32.ex_" at all
set -euo pipefail
fdpack=$1
bin=$2
out=$bin/fixtures
rm -rf "$out"
make_dist() {
  local name=$1
  mkdir -p "$out/$name"
  cp "$bin/SETUP.EXE" "$out/$name/"
  "$fdpack" pack -o "$out/$name/setup.fd" "$out/$name.payload"
}
mkdir -p "$out/launch.payload" "$out/broken_main.payload" "$out/no_main.payload"
cp "$bin/fake_fardel.exe" "$out/launch.payload/fardel32.ex_"
echo "Fardel help" > "$out/launch.payload/fardel.hlp"
echo "not a program" > "$out/broken_main.payload/fardel32.ex_"
echo "Fardel 8.1" > "$out/no_main.payload/readme.txt"
for name in launch broken_main no_main; do make_dist "$name"; done
