#!/bin/sh
# Builds the fuzzing tree (preset fuzz: clang, libFuzzer, ASan, UBSan) and runs each fuzzer for
# a bounded time, two at a time (one a core): VS_FUZZ_SECONDS per fuzzer, 20 by default (five
# fuzzers: 60 s in all). Each starts from its seed corpus in the repo (tests/<folder>/corpus/<name>,
# left untouched; new inputs go to <build>/corpus). Exits non-zero when a build fails or a fuzzer
# finds a crash, a sanitizer report or a broken property; the input that did it is kept under
# <build>/artifacts. The tree is build/fuzz unless VS_FUZZ_BUILD names another folder; VS_FUZZ_JOBS
# fuzzers run at once (2 by default). Prints each fuzzer's outcome in the order of the list below.
# Usage: scripts/run-fuzzers.sh [build | run]: only build the tree, or only run the fuzzers of a
# tree already built (scripts/run-tests.sh builds early and runs once the other builds are done,
# so that the fuzzers' seconds are not spent waiting for compilers); both by default.
set -u
step="${1:-all}"
cd "$(dirname "$0")/.." || exit 1
seconds="${VS_FUZZ_SECONDS:-20}"
build="${VS_FUZZ_BUILD:-build/fuzz}"
jobs="${JOBS:-$(nproc)}"
at_once="${VS_FUZZ_JOBS:-2}"
mkdir -p "$build/artifacts"
log="$build/build.log"

# folder/name: the fuzzer <name>_fuzzer of tests/<folder>, with its seeds in
# tests/<folder>/corpus/<name>.
fuzzers="settings/settings_reader settings/pitch_set_loader pitch/pitch_spelling
         hostapi/frame_preparation sorvel/sorvel_core"

if [ "$step" != run ]; then
    # Only the fuzzers and what they link: the tree's other programs (the command line, the
    # dialog's layer) never run here, and would be a third of its compiling.
    targets=""
    for target in $fuzzers; do
        targets="$targets ${target#*/}_fuzzer"
    done
    # shellcheck disable=SC2086 # one word per target
    if ! cmake --preset fuzz -B "$build" >"$log" 2>&1 ||
       ! cmake --build "$build" -j "$jobs" --target $targets >>"$log" 2>&1; then
        tail -n 60 "$log"
        echo "== fuzz: build FAILED"
        exit 1
    fi
    [ "$step" = build ] && exit 0
fi

# fuzz FOLDER NAME: one bounded run; its outcome goes to <build>/<name>.outcome.
fuzz() {
    folder="$1"
    name="$2"
    program=$(find "$build" -type f -name "${name}_fuzzer" -perm -u+x | head -n 1)
    seeds="tests/$folder/corpus/$name"
    [ -d "$seeds" ] || seeds=""
    mkdir -p "$build/corpus/$name"
    out="$build/$name.log"
    # shellcheck disable=SC2086 # no seeds folder: no argument
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" $seeds >"$out" 2>&1
    rc=$?
    {
        echo "== fuzz: $name for ${seconds}s"
        if [ "$rc" -ne 0 ]; then
            tail -n 60 "$out"
            echo "== fuzz: $name FAILED (exit $rc)"
        else
            grep -E "^Done [0-9]+ runs" "$out" || tail -n 3 "$out"
        fi
    } >"$build/$name.outcome"
    return "$rc"
}

# Batches of at_once runs: the runs all take the same time, so waiting for a whole batch loses
# next to nothing.
started=0
for target in $fuzzers; do
    rm -f "$build/${target#*/}.outcome"
    fuzz "${target%/*}" "${target#*/}" &
    started=$((started + 1))
    [ $((started % at_once)) -eq 0 ] && wait
done
wait
status=0
for target in $fuzzers; do
    outcome="$build/${target#*/}.outcome"
    if [ -f "$outcome" ]; then
        cat "$outcome"
        grep -q "^== fuzz: .*FAILED" "$outcome" && status=1
    else
        echo "== fuzz: ${target#*/} FAILED (no outcome)"
        status=1
    fi
done
exit $status
