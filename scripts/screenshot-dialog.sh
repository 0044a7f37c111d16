#!/bin/sh
# Takes a picture of the plug-in's dialog, filled as a user would fill it, on a virtual X display
# (Xvfb) with the 64-bit twin of the module under Wine, and writes it as a PNG.
# Usage: scripts/screenshot-dialog.sh [WIN64-BUILD-DIR] [OUT.png]
# (defaults: build/win64 and docs/dialog.png; the tree must have been built). Needs the packages
# xvfb, xauth and imagemagick besides Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
out=${2:-$root/docs/dialog.png}
host=$build/hosted/ui_screenshot_host/finale.exe
module=$build/VeskSorvel.dll
for f in "$host" "$module"; do
    [ -f "$f" ] || { echo "missing $f: build the win64 tree first" >&2; exit 2; }
done
for tool in xvfb-run import; do
    command -v "$tool" >/dev/null || { echo "missing $tool (packages xvfb, imagemagick)" >&2; exit 2; }
done
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

# A prefix of its own: the test prefixes use the headless driver, this one draws on X. Wine then
# draws the window frames itself (no window manager runs).
prefix=$build/screenshot-prefix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/settings"

cat >"$work/run.sh" <<INNER
#!/bin/sh
set -eu
export WINEPREFIX="$prefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
if [ ! -f "$prefix/.vesk-screenshot" ]; then
    mkdir -p "$prefix"
    \$wine wineboot -i >/dev/null 2>&1 || true
    \$wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w
    mkdir -p "$prefix/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$prefix/.vesk-screenshot"
fi
\$wine "$host" "$module" "$work/settings" 8 >"$work/rect" &
pid=\$!
tries=0
while [ ! -s "$work/rect" ] && [ \$tries -lt 100 ]; do sleep 0.2; tries=\$((tries + 1)); done
sleep 2
import -window root -crop "\$(tr -d '\\r' <"$work/rect")" +repage "$out"
wait \$pid
wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w
INNER
chmod +x "$work/run.sh"
xvfb-run -a -s '-screen 0 1024x768x24' "$work/run.sh"
echo "wrote $out"
