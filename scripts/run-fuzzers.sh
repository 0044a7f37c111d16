#!/bin/sh
# Builds the fuzzing tree (preset fuzz: clang, libFuzzer, ASan, UBSan) and runs each fuzzer for
# a bounded time: VS_FUZZ_SECONDS per fuzzer, 20 by default (four fuzzers: 80 s in all). Each
# starts from its seed corpus in the repo (tests/<folder>/corpus/<name>, left untouched; new
# inputs go to <build>/corpus). Exits non-zero when a build fails or a fuzzer finds a crash, a
# sanitizer report or a broken property; the input that did it is kept under
# <build>/artifacts. The tree is build/fuzz unless VS_FUZZ_BUILD names another folder.
set -u
cd "$(dirname "$0")/.."
seconds="${VS_FUZZ_SECONDS:-20}"
build="${VS_FUZZ_BUILD:-build/fuzz}"
jobs="${JOBS:-$(nproc)}"
mkdir -p "$build/artifacts"
log="$build/build.log"
if ! cmake --preset fuzz -B "$build" >"$log" 2>&1 || ! cmake --build "$build" -j "$jobs" >>"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== fuzz: build FAILED"
    exit 1
fi
status=0
# folder/name: the fuzzer tests/<folder>/<name>_fuzzer with its seeds in tests/<folder>/corpus/<name>.
for target in settings/settings_reader settings/pitch_set_loader pitch/pitch_spelling \
              hostapi/frame_preparation; do
    folder="${target%/*}"
    name="${target#*/}"
    mkdir -p "$build/corpus/$name"
    out="$build/$name.log"
    echo "== fuzz: $name for ${seconds}s"
    "$build/tests/$folder/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
        "$build/corpus/$name" "tests/$folder/corpus/$name" >"$out" 2>&1
    rc=$?
    if [ "$rc" -ne 0 ]; then
        tail -n 60 "$out"
        echo "== fuzz: $name FAILED (exit $rc)"
        status=1
    else
        grep -E "^Done [0-9]+ runs" "$out" || tail -n 3 "$out"
    fi
done
exit $status
