#!/bin/bash
# fdpack against Info-ZIP: archives each side writes must be read by the
# other, byte for byte. Usage: fdpack_interop.sh FDPACK
set -u
FDPACK=$(realpath "$1")
PW=$'Trademark\xa9 2037-2064 Quill Bay Ferriers, Ltd'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
check() {  # description, then the command
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

mkdir -p payload/sub/deeper
printf 'hello world\n' > payload/a.txt
: > payload/empty.txt
head -c 28672 /dev/urandom > payload/exact.bin
head -c 150000 /dev/urandom > payload/sub/random.bin
yes 'compressible line' | head -c 200000 > payload/sub/deeper/text.txt

# A destination with the payload's folders: the extractor makes none.
fresh() { rm -rf "$1"; mkdir -p "$1"; (cd payload && find . -mindepth 1 -type d -exec mkdir -p "../$1/{}" \;); }

for mode in deflated stored; do
  flag=(); [ $mode = stored ] && flag=(-0)
  (cd payload && zip -q -r "${flag[@]}" -e -P "$PW" ../infozip-$mode.zip .)
  fresh out-$mode
  check "Info-ZIP $mode archive extracts" "$FDPACK" extract --keep-paths --report-crc infozip-$mode.zip out-$mode
  check "Info-ZIP $mode archive is byte-identical" diff -r payload out-$mode
  check "Info-ZIP $mode archive tests" "$FDPACK" test infozip-$mode.zip
done

for variant in "" "--store" "--no-descriptor" "--store --no-descriptor"; do
  # shellcheck disable=SC2086
  check "fdpack pack $variant" "$FDPACK" pack $variant -o own.fd payload
  check "unzip -t accepts fdpack pack $variant" unzip -qq -P "$PW" -t own.fd
  check "fdpack test accepts its own $variant" "$FDPACK" test own.fd
  fresh out-own
  check "own $variant extracts byte-identical" bash -c "'$FDPACK' extract --keep-paths --report-crc own.fd out-own && diff -r payload out-own"
done

"$FDPACK" pack --password other -o other.fd payload
check "unzip -t accepts another password" unzip -qq -P other -t other.fd
check "fdpack test with the other password" "$FDPACK" test --password other other.fd
"$FDPACK" test other.fd 2> wrong.txt
check "the built-in password is refused there" test $? -eq 2
check "with INCORRECT PASSWORD" grep -qx "INCORRECT PASSWORD" wrong.txt

# A streamed archive (sizes only in a Zip64 descriptor) fails cleanly.
printf 'piped data\n' | zip -q -e -P pw - - > piped.zip
mkdir -p out-piped
"$FDPACK" extract --password pw --report-crc piped.zip out-piped 2> piped.txt
rc=$?
check "a piped archive fails with status 2" test $rc -eq 2
check "with a clear box" grep -qx "Invalid Zipfile Header" piped.txt
check "and nothing written" test -z "$(ls -A out-piped)"

# Damage is reported and sets status 2.
cp own.fd damaged.fd
printf '\x55' | dd of=damaged.fd bs=1 seek=200 conv=notrunc status=none
"$FDPACK" test damaged.fd 2> damaged.txt
check "a damaged archive fails its test" test $? -eq 2

# Flat extraction, a filter, and the start offset of an archive after a stub.
mkdir -p flat
check "without keep-paths members land flat" bash -c "'$FDPACK' extract own.fd flat && cmp flat/random.bin payload/sub/random.bin && cmp flat/text.txt payload/sub/deeper/text.txt"
mkdir -p filtered
check "a filter picks members by stored name" bash -c "'$FDPACK' extract --filter SUB/RANDOM.BIN --filter a.txt own.fd filtered && [ \"\$(ls filtered | tr '\n' ' ')\" = 'a.txt random.bin ' ]"
head -c 777 /dev/urandom | tr -d 'PK' > stubbed.fd; cat own.fd >> stubbed.fd
mkdir -p offset
check "start offset skips a leading stub" "$FDPACK" extract --start-offset "$(( $(stat -c %s stubbed.fd) - $(stat -c %s own.fd) ))" stubbed.fd offset

# A distribution folder.
mkdir -p support
for f in README.TXT FARDEL.TXT LICENSE.TXT VENDOR.TXT WHATSNEW.TXT FILE_ID.DIZ ORDER.TXT; do echo "$f" > support/$f; done
printf 'MZ fake setup' > SETUP.EXE; touch -d '2021-03-04 05:06:08' SETUP.EXE
check "dist lays out a folder" "$FDPACK" dist --setup SETUP.EXE --payload payload --support support -o dist
check "dist: setup.fd tests" "$FDPACK" test dist/setup.fd
check "dist: support files carry SETUP.EXE's time" bash -c 'for f in README.TXT FARDEL.TXT LICENSE.TXT VENDOR.TXT WHATSNEW.TXT FILE_ID.DIZ ORDER.TXT SETUP.EXE; do [ "$(stat -c %Y dist/$f)" = "$(stat -c %Y SETUP.EXE)" ] || exit 1; done'
rm support/ORDER.TXT
"$FDPACK" dist --setup SETUP.EXE --payload payload --support support -o dist2 2> /dev/null
check "dist refuses a missing support file" test $? -ne 0

echo "$failures failure(s)"
[ $failures -eq 0 ]
