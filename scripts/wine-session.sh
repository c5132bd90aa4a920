#!/bin/bash
# Runs a command inside a test session for Windows programs: an X display
# (the caller's $DISPLAY, or a headless Xvfb), a template Wine prefix made
# for this run, and a running copy of it for the unit tests.
#
# Exports to the command:
#   FD_WINE_TEMPLATE  the template prefix (stopped; scenarios copy it)
#   WINEPREFIX        the unit-test prefix, its wineserver kept running
#   DISPLAY           the display the programs draw on
# Every process started here is ended when the command ends.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

work=$(mktemp -d /tmp/fdwine.XXXXXX)
xvfb_pid=
cleanup() {
  local rc=$?
  for prefix in "$work/unit" "$work/template"; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix timeout 30 wineserver -k >/dev/null 2>&1 || true
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
  exit $rc
}
trap cleanup EXIT INT TERM

if [ -z "${DISPLAY:-}" ] || [ "${FD_HEADLESS:-0}" = 1 ]; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(cat "$work/display")
fi

fd_make_prefix "$work/template"
cp -a "$work/template" "$work/unit"
export FD_WINE_TEMPLATE=$work/template WINEPREFIX=$work/unit
fd_start_server "$WINEPREFIX"

set +e
"$@"
rc=$?
set -e
exit $rc
