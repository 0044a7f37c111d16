#!/bin/sh
# Makes a private, headless 64-bit Wine prefix once (about 13 s): the null graphics driver, so
# that windows exist without a display, and Wine's own fonts, so that dialogs get the sizes they
# get on Windows at 96 DPI. Does nothing when the prefix is ready.
set -eu
prefix="$1"
[ -f "$prefix/.vesk-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY=
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$prefix/.vesk-ready"
