#!/bin/sh
# The browser page's benchmark, a section of make bench: the WebAssembly respelling (under node
# and in Chromium) against the native program (optimised tree, native-release) on sorvel's
# 10 000- and 100 000-note benchmark scores and the worked example, and the time from choosing
# a file in the page to its first drawn page (web/tools/bench.mjs). Not a test.
set -eu
cd "$(dirname "$0")/.."
native="${1:-build/native-release}"
log=build/bench-web-build.log
mkdir -p build
echo "== building sorvel and sorvel_bench in $native, and the page" >&2
if ! cmake --preset native-release -B "$native" >"$log" 2>&1 ||
   ! cmake --build "$native" -j "${JOBS:-$(nproc)}" --target sorvel sorvel_bench >>"$log" 2>&1 ||
   ! scripts/web-build.sh >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "== build FAILED (whole log: $log)" >&2
    exit 1
fi
scores=build/bench-web-scores
mkdir -p "$scores"
for n in 10000 100000; do
    [ -f "$scores/bench-$n.musicxml" ] ||
        "$native/bench-sorvel/sorvel_bench" make "$n" "$scores/bench-$n.musicxml"
done
echo "The browser page: respelling with 4 rows (best of 3), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
node web/tools/bench.mjs "$native/sorvel/sorvel" build/web examples/Chorale.musicxml \
    "$scores/bench-10000.musicxml" "$scores/bench-100000.musicxml"
