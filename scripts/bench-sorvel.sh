#!/bin/sh
# The benchmark of sorvel (bench/sorvel/SorvelBench.cpp), a section of make bench: respelling
# generated MusicXML files of 10 000 to 1 000 000 notes with 1, 4 and 16 rows against
# pugixml's own parse and save of the same files, and a batch of 1 000 small files on 1, 2 and
# 4 threads, with the machine's load. Built in the optimised native tree (preset
# native-release, or the folder given as the first argument). SORVEL_BENCH_ARGS is passed on
# (for example "--notes 10000,100000 --files 200").
set -eu
cd "$(dirname "$0")/.."
native="${1:-build/native-release}"
log=build/bench-sorvel-build.log
mkdir -p build
echo "== building sorvel_bench in $native" >&2
if ! cmake --preset native-release -B "$native" >"$log" 2>&1 ||
   ! cmake --build "$native" -j "${JOBS:-$(nproc)}" --target sorvel_bench >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "== build FAILED (whole log: $log)" >&2
    exit 1
fi
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg) before the runs"
echo
# shellcheck disable=SC2086
"$native/bench-sorvel/sorvel_bench" ${SORVEL_BENCH_ARGS:-}
