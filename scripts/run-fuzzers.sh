#!/bin/sh
# Builds the fuzzing tree (preset fuzz: clang, libFuzzer, ASan, UBSan) and runs each settings
# fuzzer for a bounded time: VS_FUZZ_SECONDS per fuzzer, 30 by default. Each starts from its seed
# corpus in tests/settings/corpus (left untouched; new inputs go to build/fuzz/corpus). Exits
# non-zero when a build fails or a fuzzer finds a crash, a sanitizer report or a broken property;
# the input that did it is kept under build/fuzz/artifacts.
set -u
cd "$(dirname "$0")/.."
seconds="${VS_FUZZ_SECONDS:-30}"
jobs="${JOBS:-$(nproc)}"
mkdir -p build/fuzz/artifacts
log=build/fuzz/build.log
if ! cmake --preset fuzz >"$log" 2>&1 || ! cmake --build --preset fuzz -j "$jobs" >>"$log" 2>&1; then
    tail -n 60 "$log"
    echo "== fuzz: build FAILED"
    exit 1
fi
status=0
for name in settings_reader pitch_set_loader; do
    mkdir -p "build/fuzz/corpus/$name"
    out="build/fuzz/$name.log"
    echo "== fuzz: $name for ${seconds}s"
    "build/fuzz/tests/settings/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$name-" \
        "build/fuzz/corpus/$name" "tests/settings/corpus/$name" >"$out" 2>&1
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
