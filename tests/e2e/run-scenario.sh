#!/bin/bash
# run-scenario.sh SCENARIO [extra fddriver arguments]
#
# Runs one fddriver scenario in a fresh copy of a template Wine prefix.
#   FD_WINE_TEMPLATE  ready template prefix (win32, virtual desktop)
#   DISPLAY           a running X server
#   FD_BIN_DIR        folder with fddriver.exe, the test programs and SETUP.EXE
#   FD_SHOT_DIR       folder for screenshots (optional); .bmp become .png
#   FD_SCENARIO_TIMEOUT  seconds for the whole driver run (default 900)
# Exits with the driver's status (124 when the bound ran out).
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 SCENARIO [driver arguments]" >&2
    exit 2
fi
scenario=$1
shift
for name in FD_WINE_TEMPLATE DISPLAY FD_BIN_DIR; do
    if [ -z "${!name:-}" ]; then
        echo "run-scenario: $name is not set" >&2
        exit 2
    fi
done
if [ ! -f "$scenario" ] || [ ! -f "$FD_BIN_DIR/fddriver.exe" ] || [ ! -d "$FD_WINE_TEMPLATE/drive_c" ]; then
    echo "run-scenario: missing scenario, $FD_BIN_DIR/fddriver.exe or template prefix" >&2
    exit 2
fi
limit=${FD_SCENARIO_TIMEOUT:-900}

# Wine maps Z: to the Unix root.
to_windows() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/fd-e2e.XXXXXX")
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

driver=
cleanup() {
    if [ -n "$driver" ]; then kill "$driver" 2>/dev/null; fi
    # -k ends the persistent server and every process of this prefix.
    timeout 60 wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

if ! cp -a "$FD_WINE_TEMPLATE" "$WINEPREFIX"; then
    echo "run-scenario: cannot copy the template prefix" >&2
    exit 2
fi

# A persistent server, then one throwaway process: the helpers Wine starts
# with the first process inherit its output, which must not be ours.
timeout 60 wineserver -p >/dev/null 2>&1 </dev/null
timeout 600 wine cmd /c exit </dev/null >/dev/null 2>&1

args=(--bin "$(to_windows "$FD_BIN_DIR")")
# Files the scenarios read (registry imports and the like), as %SCENARIO_DATA%.
if [ -n "${FD_DATA_DIR:-}" ]; then
    export SCENARIO_DATA
    SCENARIO_DATA=$(to_windows "$FD_DATA_DIR")
fi
if [ -n "${FD_SHOT_DIR:-}" ]; then
    mkdir -p "$FD_SHOT_DIR"
    args+=(--shots "$(to_windows "$FD_SHOT_DIR")")
fi

# In the background so that a signal to this script is handled at once
# (bash runs traps only between foreground commands).
timeout -k 10 "$limit" wine "$FD_BIN_DIR/fddriver.exe" "${args[@]}" "$@" "$(to_windows "$scenario")" </dev/null &
driver=$!
wait "$driver"
status=$?
driver=
if [ $status -eq 124 ]; then
    echo "run-scenario: the driver did not finish within $limit s" >&2
fi

if [ -n "${FD_SHOT_DIR:-}" ]; then
    converter=/usr/bin/convert-im6.q16
    [ -x "$converter" ] || converter=/usr/bin/convert
    for bmp in "$FD_SHOT_DIR"/*.bmp; do
        [ -e "$bmp" ] || continue
        if "$converter" "$bmp" "${bmp%.bmp}.png"; then
            rm -f "$bmp"
        else
            echo "run-scenario: cannot convert $bmp" >&2
        fi
    done
fi
exit $status
