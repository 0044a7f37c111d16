#!/bin/sh
# make demo: installs what is missing, builds the plug-in's 64-bit twin with the stand-in host
# (win64) and the shipping 32-bit plug-in (win32), then plays a short session on the example
# score examples/demo-score.json with finale.exe (script examples/demo.script): three rows
# added in the dialog, two passes of "Change Checked", the rows saved as a pitch set. It prints
# which notes changed, the pitch set the plug-in wrote, and where the 32-bit module is.
# VS_DEMO_WIN64 and VS_DEMO_WIN32 name other build folders (build/win64 and build/win32 by
# default).
set -eu
cd "$(dirname "$0")/.."
win64="${VS_DEMO_WIN64:-build/win64}"
win32="${VS_DEMO_WIN32:-build/win32}"
jobs="${JOBS:-$(nproc)}"
# Wine takes only absolute prefix paths.
case "$win64" in /*) ;; *) win64="$(pwd)/$win64" ;; esac
case "$win32" in /*) ;; *) win32="$(pwd)/$win32" ;; esac
work=build/demo

scripts/install-deps.sh
mkdir -p "$work"
log="$work/build.log"
build() {
    echo "== building $2 in $1"
    if ! cmake --preset "$2" -B "$1" >>"$log" 2>&1 ||
       ! cmake --build "$1" -j "$jobs" --target $3 >>"$log" 2>&1; then
        tail -n 40 "$log"
        echo "== the $2 build FAILED (whole log: $log)"
        exit 1
    fi
}
: >"$log"
build "$win64" win64 "finale VeskSorvel"
build "$win32" win32 VeskSorvel
scripts/wine-prefix.sh "$win64/wineprefix"

rm -rf "$work/settings" "$work/after.json"
mkdir -p "$work/settings"
echo "== playing examples/demo.script on examples/demo-score.json"
set +e
"$win64/wine-run.sh" "$win64/host/finale.exe" --plugin "$win64/VeskSorvel.dll" \
    --score examples/demo-score.json --script examples/demo.script \
    --settings "$work/settings" --out "$work/after.json" >"$work/session.txt" 2>&1
code=$?
set -e
scripts/wine-desktop.sh stop "$win64/wineprefix"
sed 's/^/    /' "$work/session.txt"
if [ "$code" -ne 0 ]; then
    echo "== the session FAILED (finale.exe exit code $code)"
    exit 1
fi

echo
python3 examples/demo-changes.py examples/demo-score.json "$work/after.json"
echo
echo "The pitch set, as the plug-in keeps it in $work/settings/vesksorvel.txt:"
sed 's/^/    /' "$work/settings/vesksorvel.txt"
echo
echo "The shipping plug-in (32-bit Windows): $win32/VeskSorvel.dll"
echo "To install it, copy VeskSorvel.dll into the host program's plug-in folder and start the"
echo "program again; the plug-in's menu item is \"Vesk Sorvel...\"."

# ---- sorvel: the same rules on a MusicXML file ----
echo
echo "== sorvel: the same rows on a MusicXML file (examples/Chorale.musicxml)"
scripts/sorvel-demo.sh
# ---- end of sorvel ----

# ---- the browser page ----
echo
if [ -f build/web/VeskSorvel.html ]; then
    echo "The browser page: $(pwd)/build/web/VeskSorvel.html (open it from disk), or make serve"
    echo "for http://127.0.0.1:8019/."
else
    echo "The browser page: make web builds it into build/web/ (VeskSorvel.html is the whole page"
    echo "in one file); make serve then serves it on http://127.0.0.1:8019/."
fi
# ---- end of the browser page ----
