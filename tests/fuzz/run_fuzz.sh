#!/bin/bash
# Seeds the extractor's fuzz target with archives of the project's own
# making and runs it for SECONDS seconds. Usage: run_fuzz.sh FUZZER FDPACK SECONDS
set -eu
FUZZER=$(realpath "$1"); FDPACK=$(realpath "$2"); SECONDS_TO_RUN=${3:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p payload/sub corpus
printf 'hello\n' > payload/a.txt
: > payload/empty.txt
head -c 3000 /dev/urandom > payload/sub/r.bin
yes line | head -c 40000 > payload/sub/t.txt
"$FDPACK" pack -o corpus/deflated.fd payload
"$FDPACK" pack --store --no-descriptor -o corpus/stored.fd payload
"$FDPACK" pack --password '' -o corpus/nopassword.fd payload
(cd payload && zip -q -r -e -P x ../corpus/infozip.zip .) || true
"$FUZZER" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus
