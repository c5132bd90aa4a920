#!/bin/bash
# Builds SETUP.EXE, makes a demo distribution folder and runs the installer
# on it under Wine: on $DISPLAY when there is one (close its windows to
# end), otherwise headless, following the demo scenario and saving its
# screenshots in build/demo/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/build.sh

demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo/payload" "$demo/support" "$demo/screenshots"
bin=$PWD/build/win32/bin

# The payload: a stand-in for the main program, which records how it was
# started, and a file beside it.
cp "$bin/fake_fardel.exe" "$demo/payload/fardel32.ex_"
echo "Fardel 8.1 demo payload" > "$demo/payload/fardel.hlp"
# Enough data for the progress dialog to be seen at work.
head -c 48000000 /dev/urandom > "$demo/payload/fardel.dat"
for name in README.TXT FARDEL.TXT LICENSE.TXT VENDOR.TXT WHATSNEW.TXT FILE_ID.DIZ ORDER.TXT; do
  echo "$name of the Fardel 8.1 demo" > "$demo/support/$name"
done

build/host/tools/fdpack/fdpack dist --setup "$bin/SETUP.EXE" --payload "$demo/payload" \
  --support "$demo/support" -o "$demo/dist"
cp "$bin/fddriver.exe" "$demo/dist/"
echo "Distribution folder: $demo/dist"

if [ -n "${DISPLAY:-}" ] && [ "${FD_HEADLESS:-0}" != 1 ]; then
  scripts/wine-session.sh bash -c "cd '$demo/dist' && wine SETUP.EXE; echo \"SETUP.EXE exited with \$?\""
else
  FD_HEADLESS=1 FD_BIN_DIR="$demo/dist" FD_SHOT_DIR="$demo/screenshots" \
    scripts/wine-session.sh tests/e2e/run-scenario.sh tests/e2e/demo.scn
  echo "Screenshots: $demo/screenshots"
  ls "$demo/screenshots"
fi
