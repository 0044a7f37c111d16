#!/bin/sh
# Runs every check of the project in lanes side by side: deps (the packages the native lanes do
# not need: scripts/install-deps.sh installs them group by group while the native lanes compile,
# and the lanes that need a group wait for it), lint (scripts/lint.sh), native (the
# sanitizer tree, then sorvel's MuseScore round trip), fuzz (scripts/run-fuzzers.sh), win64 (the
# 64-bit twin under Wine) and win32 (the checks of the shipping DLL, then the win32-hosted tier:
# the 32-bit host and test programs under Wine with the shipping DLL itself). The two Wine lanes
# have prefixes, and so desktops, of their own; inside each, the tests that show windows take
# turns (RESOURCE_LOCK wine_desktop) and the others run beside them. Each lane writes its output
# to build/lanes/<lane>.log; at the end the logs are printed in the order the lanes are declared,
# then the time of each tier, and last one line counting every test run ("N passed, N failed",
# which CI reads). Exits non-zero when anything failed.
#
# A lane is a shell function run in the background; adding one is one line at the bottom
# (`lane NAME FUNCTION`). Within a lane, `tier NAME FUNCTION [ARGS]` times a step, `tally PASSED
# FAILED` counts its tests, and `mark STEP` / `wait_for LANE.STEP` order one lane after a step of
# another (a lane that ends without marking a step releases whoever waits for it).
set -u
cd "$(dirname "$0")/.." || exit 1
jobs=$(nproc)
lanes_dir=build/lanes
rm -rf "$lanes_dir"
mkdir -p "$lanes_dir"
run_started=$(date +%s)
# The native lanes' compilers, libraries and sources first; the rest installs in the deps lane.
if ! scripts/install-deps.sh base; then
    echo "== deps: the base group did not install"
    echo "0 passed, 1 failed"
    exit 1
fi
lanes=""

# ---- the lanes' machinery ----

now() { echo $(($(date +%s) - run_started)); }

# tally PASSED FAILED: adds to the current lane's count of tests.
tally() { echo "$1 $2" >>"$lanes_dir/$lane.tally"; }

# mark STEP: the current lane has finished STEP (well or not); wait_for LANE.STEP waits for it,
# or for the lane's end.
mark() { : >"$lanes_dir/$lane.$1.mark"; }
wait_for() {
    waited=$(date +%s)
    while [ ! -e "$lanes_dir/$1.mark" ] && [ ! -e "$lanes_dir/${1%%.*}.end" ]; do
        sleep 2
    done
    waited=$(($(date +%s) - waited))
    [ "$waited" -gt 0 ] && echo "== $lane: waited ${waited} s for $1"
}

# cpu_used: the processor seconds the lane's finished processes had used when the shell's times
# builtin last wrote them to the lane's .cpu file (times must run in the lane's own shell, not
# in a subshell, to count the lane's children).
cpu_used() {
    awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' \
        "$lanes_dir/$lane.cpu"
}

# tier NAME FUNCTION [ARGS]: runs FUNCTION and records when tier NAME started and ended, and the
# processor time it took.
tier() {
    tier_name="$1"
    shift
    tier_started=$(now)
    times >"$lanes_dir/$lane.cpu"
    tier_cpu=$(cpu_used)
    "$@"
    times >"$lanes_dir/$lane.cpu"
    echo "$tier_name $tier_started $(now) $(($(cpu_used) - tier_cpu))" >>"$lanes_dir/$lane.times"
}

# lane [-n NICENESS] NAME FUNCTION [ARGS]: runs FUNCTION in the background, its output in
# build/lanes/NAME.log. Lanes of plain processor work (lint, native, fuzz) yield to the Wine
# lanes, whose tests take turns on a desktop and so are the longest chain.
lane() {
    niceness=0
    if [ "$1" = -n ]; then
        niceness="$2"
        shift 2
    fi
    lane_name="$1"
    shift
    lanes="$lanes $lane_name"
    (
        lane="$lane_name"
        if [ "$niceness" -ne 0 ]; then
            self=$(exec sh -c 'echo $PPID')
            renice -n $(($(ps -o ni= -p "$self") + niceness)) -p "$self" >/dev/null
        fi
        "$@"
        : >"$lanes_dir/$lane.end"
    ) >"$lanes_dir/$lane_name.log" 2>&1 &
    echo "$!" >"$lanes_dir/$lane_name.pid"
}

# count_ctest OUTPUT RC: adds a CTest run's counts; a run that failed without a failed test (a
# crash, a timeout of the whole run) counts as one failure.
count_ctest() {
    total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$1")
    bad=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$1")
    total=${total:-0}
    bad=${bad:-0}
    [ "$2" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1 && total=$((total + 1))
    tally $((total - bad)) "$bad"
}

# ---- the steps ----

# build PRESET: configures and builds a tree; marks PRESET.configured and PRESET.built.
build() {
    preset="$1"
    log="build/build-$preset.log"
    echo "== $preset: configure and build"
    if ! cmake --preset "$preset" >"$log" 2>&1; then
        mark "$preset.configured"
        mark "$preset.built"
        tail -n 60 "$log"
        echo "== $preset: configure FAILED"
        tally 0 1
        return 1
    fi
    mark "$preset.configured"
    # The lanes build their trees themselves: a tree's build must not build another tree.
    if ! VS_TREES_BUILT_BY_CALLER=1 cmake --build --preset "$preset" -j "$jobs" >>"$log" 2>&1; then
        mark "$preset.built"
        tail -n 60 "$log"
        echo "== $preset: build FAILED"
        tally 0 1
        return 1
    fi
    mark "$preset.built"
    rm -f "$log"
}

# wine_ready PRESET: makes the tree's Wine prefix (with 32-bit support for win32-hosted) and
# starts the desktop keeper.
wine_ready() {
    preset="$1"
    prefix="$PWD/build/$preset/wineprefix"
    if [ "$preset" = win32-hosted ]; then
        # 32-bit programs must start (natively or emulated) before the prefix is made, or it
        # gets no 32-bit half; never skip the tier when they cannot.
        if ! scripts/enable-32bit.sh || ! scripts/wine-prefix.sh "$prefix" wow64; then
            echo "== $preset: cannot run 32-bit programs here: FAILED"
            tally 0 1
            return 1
        fi
    else
        scripts/wine-prefix.sh "$prefix"
    fi
    scripts/wine-desktop.sh start "$prefix"
}

# ctest_run PRESET NAME [CTEST ARGS]: runs (some of) a tree's tests, output in build/PRESET/NAME.
ctest_run() {
    preset="$1"
    out="build/$preset/$2"
    shift 2
    echo "== $preset: tests $*"
    ctest --preset "$preset" -j "$jobs" --timeout 900 "$@" >"$out" 2>&1
    rc=$?
    grep -E "tests passed|\(Failed\)|\*\*\*|Not Run|Timeout" "$out" | tail -n 40
    count_ctest "$out" "$rc"
}

suite_native() {
    build native || return
    ctest_run native ctest.out
}

suite_win32() {
    wait_for deps.mingw
    build win32 || return
    ctest_run win32 ctest.out
}

suite_win64() {
    wait_for deps.mingw
    build win64 || return
    # ui_template_test compares the dialog template with the shipping module's.
    wait_for win32.win32.built
    wait_for deps.wine
    wine_ready win64 || return
    ctest_run win64 ctest.out
    scripts/wine-desktop.sh stop "$PWD/build/win64/wineprefix"
    mark win64.tested
}

# The 32-bit tier compares its sessions with those the win64 lane kept (widths_agree_*): those
# run last, once the win64 tests have run (were they missing, the comparison would play the
# 64-bit sessions itself, as it does when run on its own).
suite_win32_hosted() {
    wait_for win32.win32.built
    build win32-hosted || return
    wait_for deps.wine
    wine_ready win32-hosted || return
    prefix="$PWD/build/win32-hosted/wineprefix"
    ctest_run win32-hosted ctest.out -E '^widths_agree_'
    wait_for win64.win64.tested
    ctest_run win32-hosted ctest-widths.out -R '^widths_agree_'
    scripts/wine-desktop.sh stop "$prefix"
}

# The fuzzers' runs are bounded in seconds: they start once the other trees are built, beside the
# Wine tests (which leave the processors half idle while they take turns on the desktops), so
# that their seconds are not shared with the compilers.
run_fuzzers() {
    echo "== fuzz: build, then bounded runs"
    out=build/fuzz-summary.out
    scripts/run-fuzzers.sh build >"$out" 2>&1
    rc=$?
    if [ "$rc" -eq 0 ]; then
        wait_for native.native.built
        wait_for win64.win64.built
        wait_for win32.win32-hosted.built
        scripts/run-fuzzers.sh run >"$out" 2>&1
        rc=$?
    fi
    cat "$out"
    ran=$(grep -c "^== fuzz: .* for " "$out")
    bad=$(grep -c "^== fuzz: .*FAILED" "$out")
    [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1 && ran=$((ran + 1))
    tally $((ran - bad)) "$bad"
}

# run_counted NAME SCRIPT [ARGS]: a script that ends with "N passed, M failed".
run_counted() {
    name="$1"
    shift
    echo "== $name"
    out="build/$name.out"
    "$@" >"$out" 2>&1
    rc=$?
    grep -v "^ok " "$out" | tail -n 20
    ok=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\1/p' "$out" | tail -n 1)
    bad=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed.*/\2/p' "$out" | tail -n 1)
    ok=${ok:-0}
    bad=${bad:-0}
    [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1
    tally "$ok" "$bad"
}

# Formatting and clang-tidy read the native and win64 trees' compile commands; the lanes of
# those trees configure them.
run_lint() {
    wait_for native.native.configured
    wait_for win64.win64.configured
    if VS_LINT_CONFIGURED=1 scripts/lint.sh; then
        tally 1 0
    else
        tally 0 1
    fi
}

lane_native() {
    tier native suite_native
    wait_for deps.musescore
    tier sorvel-musescore run_counted sorvel-musescore \
        env VS_SORVEL=build/native/sorvel/sorvel scripts/sorvel-musescore.sh
}

# The browser page: its WebAssembly build needs nothing of the other lanes; its tests compare
# with the native sorvel, which the native lane builds.
lane_web() {
    wait_for deps.web
    scripts/web-build.sh >build/web-build.log 2>&1
    wait_for native.native.built
    tier web run_counted web scripts/web-tests.sh
}

lane_win32() {
    tier win32 suite_win32
    tier win32-hosted suite_win32_hosted
}

# The groups in the order the lanes need them: the Windows trees' compilers first (their builds
# are the longest chain), Wine before their tests, MuseScore and the page's tools last.
lane_deps() {
    if scripts/install-deps.sh --marks "$lanes_dir/deps." mingw wine musescore web; then
        tally 1 0
    else
        echo "== deps: FAILED"
        tally 0 1
    fi
}

# ---- the lanes, in the order their logs and times are printed ----

lane deps tier deps lane_deps
lane -n 5 lint tier lint run_lint
lane -n 5 native lane_native
lane -n 5 fuzz tier fuzz run_fuzzers
lane win64 tier win64 suite_win64
lane win32 lane_win32
lane -n 5 web lane_web

# Say when each lane ends; a lane that died without finishing counts as a failure.
passed=0
failed=0
pending="$lanes"
while [ -n "$pending" ]; do
    sleep 5
    left=""
    for name in $pending; do
        # The end mark is looked for again after the lane is seen gone: it may have been written
        # between the two looks.
        if [ -e "$lanes_dir/$name.end" ]; then
            echo "== lane $name finished at $(now) s"
        elif ! kill -0 "$(cat "$lanes_dir/$name.pid")" 2>/dev/null && [ ! -e "$lanes_dir/$name.end" ]; then
            echo "== lane $name stopped at $(now) s without finishing: FAILED"
            echo "0 1" >>"$lanes_dir/$name.tally"
        else
            left="$left $name"
        fi
    done
    pending="$left"
done
wait

for name in $lanes; do
    echo
    cat "$lanes_dir/$name.log"
    if [ -f "$lanes_dir/$name.tally" ]; then
        while read -r ok bad; do
            passed=$((passed + ok))
            failed=$((failed + bad))
        done <"$lanes_dir/$name.tally"
    fi
done
echo
echo "== time of each tier (seconds from the start of the run; processor seconds it used)"
cpu_all=0
for name in $lanes; do
    [ -f "$lanes_dir/$name.times" ] || continue
    while read -r tier_name from to cpu; do
        printf '%-18s %5d s   (%d to %d, lane %s)   %5d s of processor\n' "$tier_name" \
            $((to - from)) "$from" "$to" "$name" "$cpu"
        cpu_all=$((cpu_all + cpu))
    done <"$lanes_dir/$name.times"
done
printf '%-18s %5d s   %*s%5d s of processor\n' "all" "$(now)" 27 "" "$cpu_all"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
