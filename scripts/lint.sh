#!/bin/sh
# The lint check: clang-format (check mode) over every C++ source and header of the repository,
# then clang-tidy (the checks of .clang-tidy, every warning an error) over the plug-in, the
# stand-in host, the rules and sorvel. Platform-neutral files are read as the native tree
# compiles them; files only the Windows builds compile (the dialog, the entry points, the
# harness) as the win64 tree compiles them, with clang told where mingw-w64 keeps its C++
# headers (clang does not find a "12-posix" gcc by itself). Only configuration is needed, no
# build. Exits non-zero when either tool finds anything; prints what it found.
set -u
cd "$(dirname "$0")/.."
mkdir -p build
jobs="${JOBS:-$(nproc)}"
status=0

sources=$(git ls-files '*.cpp' '*.h' | grep -v '/corpus/')
echo "== lint: clang-format"
# shellcheck disable=SC2086 # one word per file
if ! clang-format --dry-run --Werror $sources 2>build/lint-format.out; then
    head -n 40 build/lint-format.out
    echo "== lint: clang-format FAILED ($(grep -c 'clang-format-violations' build/lint-format.out) places)"
    status=1
fi

echo "== lint: clang-tidy"
# VS_LINT_CONFIGURED=1: the caller has configured both trees (scripts/run-tests.sh, whose lanes
# build them meanwhile; configuring a tree while it builds could disturb the build).
for preset in native win64; do
    [ "${VS_LINT_CONFIGURED:-}" = 1 ] && break
    if ! cmake --preset "$preset" >build/lint-configure-$preset.out 2>&1; then
        tail -n 20 build/lint-configure-$preset.out
        echo "== lint: cannot configure $preset"
        exit 1
    fi
done
linted='^(hostapi|framework|pitch|state|settings|ui|shell|host|rules|sorvel)/([^/]*/)?[^/]*\.cpp$'
files_of() {
    python3 -c 'import json, os, sys
root = os.getcwd() + "/"
for f in sorted({e["file"] for e in json.load(open(sys.argv[1]))}):
    print(f[len(root):] if f.startswith(root) else f)' "build/$1/compile_commands.json" |
        grep -E "$linted"
}
native_files=$(files_of native)
windows_files=$(files_of win64 | grep -vxF "$native_files")
gxx=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include/c++
out=build/lint-tidy.out
: >"$out"
# shellcheck disable=SC2086
echo $native_files | tr ' ' '\n' |
    xargs -P "$jobs" -n 4 clang-tidy --quiet --warnings-as-errors='*' -p build/native \
        >>"$out" 2>&1 || status=2
# shellcheck disable=SC2086
echo $windows_files | tr ' ' '\n' |
    xargs -P "$jobs" -n 4 clang-tidy --quiet --warnings-as-errors='*' -p build/win64 \
        --extra-arg-before=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++ \
        --extra-arg=-isystem$gxx --extra-arg=-isystem$gxx/x86_64-w64-mingw32 \
        --extra-arg=-isystem$gxx/backward >>"$out" 2>&1 || status=$((status | 2))
count=$(echo $native_files $windows_files | wc -w)
if [ $((status & 2)) -ne 0 ]; then
    grep -E 'warning:|error:' "$out" | sort -u | head -n 60
    echo "== lint: clang-tidy FAILED"
    status=1
else
    echo "== lint: clang-tidy clean ($count files)"
fi
[ "$status" -eq 0 ] && echo "== lint: clean"
exit "$status"
