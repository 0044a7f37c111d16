#!/bin/sh
# Checks formatting and lint first (scripts/lint.sh), then builds the trees and runs their
# suites: win32 (checks of the shipping DLL), native (sanitizers), the fuzzers, win64 (the 64-bit
# twin under Wine) and win32-hosted (the 32-bit host and test programs under Wine, with the
# shipping DLL itself). Ends with one line counting every test run.
set -u
cd "$(dirname "$0")/.."
jobs=$(nproc)
status=0
passed=0
failed=0

run_suite() {
    preset="$1"
    started=$(date +%s)
    echo "== $preset: configure and build"
    if ! cmake --preset "$preset" >"build-$preset.log" 2>&1 ||
       ! cmake --build --preset "$preset" -j "$jobs" >>"build-$preset.log" 2>&1; then
        tail -n 60 "build-$preset.log"
        echo "== $preset: build FAILED"
        status=1
        failed=$((failed + 1))
        return
    fi
    rm -f "build-$preset.log"
    prefix="$PWD/build/$preset/wineprefix"
    wine=0
    case "$preset" in win64 | win32-hosted) wine=1 ;; esac
    if [ "$preset" = win32-hosted ]; then
        # 32-bit programs must start (natively or emulated) before the prefix is made, or it
        # gets no 32-bit half; never skip the tier when they cannot.
        if ! scripts/enable-32bit.sh || ! scripts/wine-prefix.sh "$prefix" wow64; then
            echo "== $preset: cannot run 32-bit programs here: FAILED"
            status=1
            failed=$((failed + 1))
            return
        fi
    elif [ $wine = 1 ]; then
        scripts/wine-prefix.sh "$prefix"
    fi
    [ $wine = 1 ] && scripts/wine-desktop.sh start "$prefix"
    echo "== $preset: tests"
    out="build/$preset/ctest.out"
    # Windowed tests share one Wine desktop: run them one at a time, so that no test's windows
    # take another's focus or answer its message boxes.
    parallel="$jobs"
    [ $wine = 1 ] && parallel=1
    ctest --preset "$preset" -j "$parallel" --timeout 900 >"$out" 2>&1
    rc=$?
    [ $wine = 1 ] && scripts/wine-desktop.sh stop "$prefix"
    grep -E "tests passed|\(Failed\)|\*\*\*|Not Run|Timeout" "$out" | tail -n 40
    total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$out")
    bad=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$out")
    total=${total:-0}
    bad=${bad:-0}
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if [ "$rc" -ne 0 ]; then
        status=1
        [ "$bad" -eq 0 ] && failed=$((failed + 1))
    fi
    echo "== $preset: finished in $(($(date +%s) - started)) s"
}

run_fuzzers() {
    echo "== fuzz: bounded runs"
    out=build/fuzz-summary.out
    scripts/run-fuzzers.sh >"$out" 2>&1
    rc=$?
    cat "$out"
    ran=$(grep -c "^== fuzz: .* for " "$out")
    bad=$(grep -c "^== fuzz: .*FAILED" "$out")
    passed=$((passed + ran - bad))
    failed=$((failed + bad))
    if [ "$rc" -ne 0 ]; then
        status=1
        [ "$bad" -eq 0 ] && failed=$((failed + 1))
    fi
}

# ---- sorvel: the MuseScore round trip (its other tests run in the native suite) ----
run_sorvel_musescore() {
    echo "== sorvel: MuseScore round trip"
    out=build/sorvel-musescore.out
    scripts/sorvel-musescore.sh >"$out" 2>&1
    rc=$?
    grep -v "^ok " "$out" | tail -n 20
    ok=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\1/p' "$out")
    bad=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\2/p' "$out")
    passed=$((passed + ${ok:-0}))
    failed=$((failed + ${bad:-0}))
    if [ "$rc" -ne 0 ]; then
        status=1
        [ "${bad:-0}" -eq 0 ] && failed=$((failed + 1))
    fi
}
# ---- end of sorvel ----

# ---- the browser page: browser tests and the WebAssembly cross-path test ----
run_web() {
    echo "== web: the page in Chromium, and the WebAssembly core against sorvel"
    out=build/web-summary.out
    scripts/web-tests.sh >"$out" 2>&1
    rc=$?
    cat "$out"
    ok=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\1/p' "$out" | tail -n 1)
    bad=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\2/p' "$out" | tail -n 1)
    passed=$((passed + ${ok:-0}))
    failed=$((failed + ${bad:-0}))
    if [ "$rc" -ne 0 ]; then
        status=1
        [ "${bad:-0}" -eq 0 ] && failed=$((failed + 1))
    fi
}
# ---- end of the browser page ----

# ---- lint: formatting and clang-tidy, before anything is built ----
run_lint() {
    out=build/lint.out
    if scripts/lint.sh >"$out" 2>&1; then
        passed=$((passed + 1))
    else
        status=1
        failed=$((failed + 1))
    fi
    cat "$out"
}

mkdir -p build
run_lint
run_suite win32
run_suite native
run_sorvel_musescore
run_web
run_fuzzers
run_suite win64
run_suite win32-hosted
echo "$passed passed, $failed failed"
exit $status
