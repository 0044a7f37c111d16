#!/bin/sh
# make bench: builds the benchmark program in two optimised trees, natively (preset
# native-release: gcc, Release, no sanitizers) and as the 64-bit Windows twin under Wine
# (build/win64-release: the win64 toolchain with CMAKE_BUILD_TYPE=Release), runs both and
# prints their tables (pitch runs and settings files), the machine they ran on with its load
# before and after, and the Wine run's CPU times against the native ones. Only the program
# vs_bench and what it links are built. Not a test: the figures depend on the machine and on
# what else runs on it (its CPU times less than its wall times).
# VS_BENCH_NATIVE and VS_BENCH_WIN64 name other build folders; VS_BENCH_ARGS is passed on
# (for example "--entries 1000,10000").
set -eu
cd "$(dirname "$0")/.."
native="${VS_BENCH_NATIVE:-build/native-release}"
win64="${VS_BENCH_WIN64:-build/win64-release}"
jobs="${JOBS:-$(nproc)}"
# Wine takes only absolute prefix paths.
case "$native" in /*) ;; *) native="$(pwd)/$native" ;; esac
case "$win64" in /*) ;; *) win64="$(pwd)/$win64" ;; esac
mkdir -p build
log=build/bench-build.log
: >"$log"

# build FOLDER CONFIGURE-ARGUMENTS...
build() {
    folder="$1"
    shift
    echo "== building vs_bench in $folder" >&2
    if ! cmake "$@" >>"$log" 2>&1 ||
       ! cmake --build "$folder" -j "$jobs" --target vs_bench >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "== build FAILED (whole log: $log)" >&2
        exit 1
    fi
}
build "$native" --preset native-release -B "$native"
build "$win64" --preset win64 -B "$win64" -DCMAKE_BUILD_TYPE=Release
scripts/wine-prefix.sh "$win64/wineprefix"

echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
     "$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) memory," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg) before the runs"
echo
# shellcheck disable=SC2086
"$native/bench/vs_bench" --label "native: gcc 12, Release, no sanitizers" ${VS_BENCH_ARGS:-} \
    >build/bench-native.out
cat build/bench-native.out
echo
set +e
# shellcheck disable=SC2086
"$win64/wine-run.sh" "$win64/hosted/vs_bench/finale.exe" \
    --label "win64 under Wine 8: mingw g++ 12, Release" ${VS_BENCH_ARGS:-} </dev/null \
    >build/bench-win64.raw 2>&1
code=$?
set -e
tr -d '\r' <build/bench-win64.raw >build/bench-win64.out
cat build/bench-win64.out
scripts/wine-desktop.sh stop "$win64/wineprefix"
echo
echo "Load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
awk -f scripts/bench-compare.awk build/bench-native.out build/bench-win64.out

# ---- sorvel: respelling MusicXML files ----
echo
scripts/bench-sorvel.sh "$native" || code=1
# ---- end of sorvel ----

# ---- the browser page: WebAssembly against native, and the first drawn page ----
echo
scripts/bench-web.sh "$native" || code=1
# ---- end of the browser page ----
exit $code
