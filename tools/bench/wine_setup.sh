#!/bin/bash
# wine_setup.sh DISTDIR JSON MARKDOWN RUNS
#
# Times whole runs of SETUP.EXE under Wine from a distribution folder
# (SETUP.EXE and setup.fd, whose payload holds "fardel32.ex_" so that each
# run ends by itself), and, for comparison, the start of a trivial program
# (fake_fardel.exe alone). Runs inside scripts/wine-session.sh, in a copy of
# its template prefix; C:\Fardel is emptied before each run. After the runs,
# checks that the last one installed the payload and started FARDEL32.EXE.
set -euo pipefail
dist=$1 json=$2 markdown=$3 runs=$4
: "${FD_WINE_TEMPLATE:?run inside scripts/wine-session.sh}"

work=$(mktemp -d "${TMPDIR:-/tmp}/fdbench-wine.XXXXXX")
export WINEPREFIX=$work/prefix
cleanup() {
  timeout 60 wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cp -a "$FD_WINE_TEMPLATE" "$WINEPREFIX"
timeout 60 wineserver -p >/dev/null 2>&1 </dev/null
timeout 600 wine cmd /c exit </dev/null >/dev/null 2>&1 || true

drive=$WINEPREFIX/drive_c
mkdir -p "$drive/dist"
cp "$dist/SETUP.EXE" "$dist/setup.fd" "$dist/fake_fardel.exe" "$drive/dist/"
install=$drive/Fardel

# Before each run: let the main program the previous run started write its
# record (it exits right after), then empty the install folder.
cat >"$work/prepare.sh" <<PREP
#!/bin/bash
if [ -d '$install' ]; then
  for _ in \$(seq 300); do [ -e '$install/fake_fardel.log' ] && break; sleep 0.1; done
  sleep 0.2
fi
rm -rf '$install' '$drive/dist/fake_fardel.log'
PREP
chmod +x "$work/prepare.sh"

hyperfine --warmup 1 --runs "$runs" --export-json "$json" --export-markdown "$markdown" \
  --prepare "$work/prepare.sh" \
  -n "wine SETUP.EXE (extract + start main program)" "timeout 900 wine 'C:\\dist\\SETUP.EXE' </dev/null" \
  --prepare "$work/prepare.sh" \
  -n "wine start-up alone (fake main program)" "timeout 300 wine 'C:\\dist\\fake_fardel.exe' </dev/null" >&2

# The second command ran last; run SETUP.EXE once more for the check.
"$work/prepare.sh"
timeout 900 wine 'C:\dist\SETUP.EXE' </dev/null >/dev/null 2>&1
for _ in $(seq 300); do [ -e "$install/fake_fardel.log" ] && break; sleep 0.1; done
[ -e "$install/fake_fardel.log" ] && [ -e "$install/FARDEL32.EXE" ] || { echo "wine_setup: the main program was not started" >&2; exit 1; }
# The installed files for the caller's comparison with the payload.
(cd "$install" && find . -type f ! -name fake_fardel.log ! -name FARDEL32.EXE -exec md5sum {} + |
  awk '{ n = $2; sub(".*/", "", n); print $1, n }' | sort) >"$json.files"
