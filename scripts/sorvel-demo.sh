#!/bin/sh
# sorvel on the example score examples/Chorale.musicxml (a flute and a clarinet in B flat),
# a block of make demo: lists the pitch sets of examples/vesksorvel.txt (a pitch-list file as
# the plug-in writes it), shows what the set "Flat keys" would change, respells the score into
# build/demo/ with a CSV report, and prints the score's notes before and after, measure by
# measure. Builds sorvel in the native tree (or the folder given as the first argument).
set -eu
cd "$(dirname "$0")/.."
native="${1:-build/native}"
out=build/demo
mkdir -p "$out"
echo "== building sorvel in $native"
cmake --preset native -B "$native" >"$out/sorvel-build.log" 2>&1
cmake --build "$native" -j "${JOBS:-$(nproc)}" --target sorvel >>"$out/sorvel-build.log" 2>&1
sorvel="$native/sorvel/sorvel"
# run SHOWN ARGUMENTS...: prints the command as SHOWN, then runs sorvel with the arguments.
run() {
    echo "\$ sorvel $1"
    shift
    "$sorvel" "$@" | sed 's/^/    /'
}
echo
run "sets --sets examples/vesksorvel.txt" sets --sets examples/vesksorvel.txt
echo
sets="--set \"Flat keys\" --sets examples/vesksorvel.txt"
run "respell examples/Chorale.musicxml $sets --dry-run" \
    respell examples/Chorale.musicxml --set "Flat keys" --sets examples/vesksorvel.txt --dry-run
echo
run "respell examples/Chorale.musicxml $sets -o $out/Chorale.respelled.musicxml --report $out/Chorale.report.csv" \
    respell examples/Chorale.musicxml --set "Flat keys" --sets examples/vesksorvel.txt \
    -o "$out/Chorale.respelled.musicxml" --report "$out/Chorale.report.csv"
echo
echo "The clarinet is compared in sounding pitch and written back in its own (written) pitch;"
echo "accidentals in brackets are those the file shows:"
python3 examples/sorvel-before-after.py examples/Chorale.musicxml "$out/Chorale.respelled.musicxml" |
    sed 's/^/    /'
echo
echo "The report: $(pwd)/$out/Chorale.report.csv"
