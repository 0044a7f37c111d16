#!/bin/sh
# The browser page's tests: builds the page (scripts/web-build.sh) and the native program they
# compare with, then runs the browser tests (Debian's Chromium, headless, through
# playwright-core; web/tests/page.test.mjs), the drawing copies under node
# (web/tests/drawing.test.mjs) and the cross-path test of the WebAssembly core
# against the native program (web/tests/cross-path.test.mjs). Ends with "N passed, N failed".
# SCREENSHOT=FILE saves the README's picture of the page on the way.
set -u
cd "$(dirname "$0")/.."
if ! scripts/web-build.sh >build/web-build.log 2>&1; then
    tail -n 40 build/web-build.log
    echo "0 passed, 1 failed"
    exit 1
fi
if [ ! -x build/native/sorvel/sorvel ]; then
    cmake --preset native >/dev/null &&
        cmake --build --preset native -j "$(nproc)" --target sorvel >build/web-native.log 2>&1 ||
        { tail -n 40 build/web-native.log; echo "0 passed, 1 failed"; exit 1; }
fi
out=build/web-tests.out
node --test --test-concurrency=1 web/tests/page.test.mjs web/tests/cross-path.test.mjs \
    web/tests/drawing.test.mjs >"$out" 2>&1
rc=$?
grep -E "^not ok|^# (pass|fail)" "$out"
[ $rc -ne 0 ] && grep -E -A20 "^not ok" "$out" | head -n 80
pass=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$out")
fail=$(sed -n 's/^# fail \([0-9]*\)$/\1/p' "$out")
echo "${pass:-0} passed, ${fail:-1} failed"
exit $rc
