#!/bin/sh
# The benchmark of sorvel, a section of make bench: respelling generated MusicXML files of
# 10 000 to 1 000 000 notes with 1, 4 and 16 rows against pugixml's own load and save of the
# same files and against cat, every tool a whole process, interleaved, with CPU, wall time and
# peak memory per MB (scripts/bench-sorvel.py); one long measure at two lengths; and a batch of
# 1 000 small files on 1, 2 and 4 threads (bench/sorvel/SorvelBench.cpp). Built in the optimised
# native tree (preset native-release, or the folder given as the first argument).
# SORVEL_BENCH_NOTES and SORVEL_BENCH_ARGS are passed on (for example "10000,100000" and
# "--files 200").
set -eu
cd "$(dirname "$0")/.."
native="${1:-build/native-release}"
log=build/bench-sorvel-build.log
mkdir -p build
echo "== building sorvel_bench in $native" >&2
if ! cmake --preset native-release -B "$native" >"$log" 2>&1 ||
   ! cmake --build "$native" -j "${JOBS:-$(nproc)}" --target sorvel sorvel_bench >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "== build FAILED (whole log: $log)" >&2
    exit 1
fi
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg) before the runs"
echo
python3 scripts/bench-sorvel.py "$native/sorvel/sorvel" "$native/bench-sorvel/sorvel_bench" \
    build/bench-sorvel-work "${SORVEL_BENCH_NOTES:-10000,100000,1000000}"
echo
# shellcheck disable=SC2086
"$native/bench-sorvel/sorvel_bench" ${SORVEL_BENCH_ARGS:-}
