#!/bin/bash
# tools/bench/run.sh [--megabytes N] [--seed N] [--runs N] [--wine-runs N] [--no-wine]
#                    [--ascii-password]
#
# The extraction benchmark. Makes a seeded payload of mixed files (about
# 100 MB), packs it once with `fdpack pack` (deflated, encrypted with the
# built-in password) and times four readers of that same archive with
# hyperfine: `fdpack extract`, Info-ZIP `unzip -P`, `7z x -p` and the floor
# program (tools/bench/floor.cpp: decipher, inflate, crc32, write, nothing
# else). Then the peak resident set of each reader (/usr/bin/time -v) and,
# in a Wine test session, whole runs of SETUP.EXE with that archive as its
# setup.fd. Every reader's output is compared with the payload first.
#
# Needs build/host (fdpack) and, for the Wine part, build/win32/bin
# (SETUP.EXE, fake_fardel.exe; the payload then holds the fake main program
# as "fardel32.ex_"). Writes build/bench/: results.md (also printed),
# hyperfine.md/.json, wine.md/.json, the floor binary.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here=$root/tools/bench
megabytes=100 seed=1962 runs=10 wine_runs=3 wine=1 ascii=0
while [ $# -gt 0 ]; do
  case $1 in
    --megabytes) megabytes=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --wine-runs) wine_runs=$2; shift 2 ;;
    --no-wine) wine=0; shift ;;
    --ascii-password) ascii=1; shift ;;
    *) sed -n '2p' "$0" >&2; exit 64 ;;
  esac
done

out=$root/build/bench
bin=$root/build/win32/bin
mkdir -p "$out"
for tool in hyperfine unzip 7z python3 g++; do
  command -v $tool >/dev/null || { echo "run.sh: $tool is missing" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "run.sh: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }
if [ ! -x "$root/build/host/tools/fdpack/fdpack" ]; then
  cmake -S "$root" -B "$root/build/host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/host" --target fdpack
fi
g++ -std=c++20 -O2 -Wall -o "$out/floor" "$here/floor.cpp" -lz

work=$(mktemp -d "${TMPDIR:-/tmp}/fdbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# A copy, so that a rebuild during the run changes nothing.
fdpack=$work/fdpack
floor=$work/floor
cp "$root/build/host/tools/fdpack/fdpack" "$fdpack"
cp "$out/floor" "$floor"

echo "== payload: $megabytes MB, seed $seed" >&2
python3 "$here/make_payload.py" "$work/payload" "$megabytes" "$seed"
if [ "$wine" = 1 ] && [ -f "$bin/SETUP.EXE" ] && [ -f "$bin/fake_fardel.exe" ]; then
  cp "$bin/fake_fardel.exe" "$work/payload/fardel32.ex_"
elif [ "$wine" = 1 ]; then
  wine=0 wine_note="not measured: build/win32/bin has no SETUP.EXE or fake_fardel.exe"
fi
wine_note=${wine_note:-not measured (--no-wine)}
archive=$work/dist/setup.fd
mkdir -p "$work/dist"
"$fdpack" pack -o "$archive" "$work/payload"

# "md5 basename" of every file below a folder, sorted: the readers that
# drop folders and those that keep them are compared alike.
listing() { (cd "$1" && find . -type f -exec md5sum {} + | awk '{ n = $2; sub(".*/", "", n); print $1, n }' | sort); }
listing "$work/payload" >"$work/expected"

builtin_pw=$'Trademark\xa9 2037-2064 Quill Bay Ferriers, Ltd'
export BENCH_PW=$builtin_pw
pw_args=
password_note="the built-in password (44 bytes, one of them 0xA9, given to unzip and 7z as raw bytes)"
extract_all() {  # DEST-PREFIX: each reader once; prints the readers whose output differs
  local d=$1 r
  for r in fdpack floor unzip 7z; do rm -rf "$d-$r"; mkdir -p "$d-$r"; done
  "$fdpack" extract $pw_args "$archive" "$d-fdpack" >/dev/null 2>&1 || true
  "$floor" "$archive" "$d-floor" ${pw_args:+"$BENCH_PW"} || true
  unzip -qq -o -P "$BENCH_PW" "$archive" -d "$d-unzip" >/dev/null 2>&1 || true
  7z x -y -bd -bso0 -bse0 -p"$BENCH_PW" -o"$d-7z" "$archive" >/dev/null 2>&1 || true
  for r in fdpack floor unzip 7z; do
    listing "$d-$r" | cmp -s - "$work/expected" || echo "$r"
  done
}
failed=$(extract_all "$work/check")
[ "$ascii" = 0 ] || failed="${failed:-none (--ascii-password)}"
if [ -n "$failed" ]; then
  echo "== built-in password, readers failing: $(echo $failed); repacking with a plain ASCII password" >&2
  export BENCH_PW=FardelBench2037
  pw_args="--password $BENCH_PW"
  "$fdpack" pack --password "$BENCH_PW" -o "$archive" "$work/payload"
  password_note="a plain ASCII password given by --password (the built-in one failed with: $(echo $failed))"
  failed=$(extract_all "$work/check")
  [ -z "$failed" ] || { echo "run.sh: wrong output from: $failed" >&2; exit 1; }
  wine=0 wine_note="not measured: SETUP.EXE takes only the built-in password"
fi
rm -rf "$work"/check-*
echo "== every reader reproduces the payload" >&2

# The commands hyperfine runs (through sh, which expands $BENCH_PW).
fd_cmd="'$fdpack' extract '$archive' '$work/o-fdpack'"
floor_cmd="'$floor' '$archive' '$work/o-floor'"
if [ -n "$pw_args" ]; then
  fd_cmd="'$fdpack' extract --password \"\$BENCH_PW\" '$archive' '$work/o-fdpack'"
  floor_cmd="'$floor' '$archive' '$work/o-floor' \"\$BENCH_PW\""
fi
unzip_cmd="unzip -qq -o -P \"\$BENCH_PW\" '$archive' -d '$work/o-unzip'"
sevenz_cmd="7z x -y -bd -bso0 -p\"\$BENCH_PW\" -o'$work/o-7z' '$archive'"
prep() { echo "rm -rf '$work/o-$1' && mkdir '$work/o-$1'"; }

echo "== hyperfine: $runs runs each" >&2
hyperfine --warmup 1 --runs "$runs" \
  --export-json "$out/hyperfine.json" --export-markdown "$out/hyperfine.md" \
  --prepare "$(prep fdpack)" -n "fdpack extract" "$fd_cmd" \
  --prepare "$(prep floor)" -n "floor" "$floor_cmd" \
  --prepare "$(prep unzip)" -n "unzip -P" "$unzip_cmd" \
  --prepare "$(prep 7z)" -n "7z x -p" "$sevenz_cmd" >&2

echo "== peak resident set" >&2
rss() {  # NAME COMMAND
  local name=$1 dir
  dir=$work/o-rss
  rm -rf "$dir" && mkdir "$dir"
  /usr/bin/time -v -o "$work/time.txt" sh -c "$2" >/dev/null 2>&1
  printf '"%s": %s,\n' "$name" "$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")"
}
rss_json=$(
  rss "fdpack extract" "exec ${fd_cmd//o-fdpack/o-rss}"
  rss "floor" "exec ${floor_cmd//o-floor/o-rss}"
  rss "unzip -P" "exec ${unzip_cmd//o-unzip/o-rss}"
  rss "7z x -p" "exec ${sevenz_cmd//o-7z/o-rss}"
)
rm -rf "$work"/o-*

if [ "$wine" = 1 ]; then
  echo "== SETUP.EXE under Wine: $wine_runs runs" >&2
  cp "$bin/SETUP.EXE" "$bin/fake_fardel.exe" "$work/dist/"
  rm -f "$out/wine.json"
  if "$root/scripts/wine-session.sh" bash "$here/wine_setup.sh" "$work/dist" "$out/wine.json" "$out/wine.md" "$wine_runs" &&
     grep -v ' fardel32.ex_$' "$work/expected" | cmp -s - "$out/wine.json.files"; then
    wine_note=
  else
    wine_note="failed: see the output above"
    echo "run.sh: the Wine run failed or installed other files" >&2
    mv -f "$out/wine.json" "$out/wine.failed.json" 2>/dev/null || true
  fi
  rm -f "$out/wine.json.files"
else
  rm -f "$out/wine.json"
fi

files=$(wc -l <"$work/expected")
payload_bytes=$(du -sb --apparent-size "$work/payload" | cut -f1)
archive_bytes=$(stat -c %s "$archive")
machine="$(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')), $(uname -sr)."
python3 - "$work/info.json" <<PY
import json, sys
json.dump({"files": $files, "payload_mb": $payload_bytes / 1048576, "archive_mb": $archive_bytes / 1048576,
           "seed": $seed, "runs": $runs, "machine": """$machine""", "password_note": """$password_note""",
           "wine_note": """$wine_note""", "rss_kb": {${rss_json%,}}}, open(sys.argv[1], "w"))
PY
python3 "$here/report.py" "$work/info.json" "$out/hyperfine.json" "$out/wine.json" | tee "$out/results.md"
