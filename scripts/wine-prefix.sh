#!/bin/sh
# Makes a private, headless Wine prefix once (about 13 s): the null graphics driver, so that
# windows exist without a display; Wine's own fonts, so that dialogs get the sizes they get on
# Windows at 96 DPI; and no crash dialog, so that a crashing program prints its backtrace and
# ends instead of waiting for a click nobody can give. Does nothing when the prefix is ready; one
# made by an older version of this script, or left half-made, is made again.
# Usage: scripts/wine-prefix.sh PREFIX [wow64]
# With wow64 the prefix must also run 32-bit programs: wine64 gives it their system folder
# (syswow64) only while 32-bit programs start on this machine (scripts/enable-32bit.sh), so a
# prefix without one is made again, and one that still lacks it is an error.
set -eu
prefix="$1"
wow64="${2:-}"
case "$prefix" in /?*) ;; *) echo "wine-prefix.sh: give the prefix as an absolute path" >&2; exit 2 ;; esac
ready="$prefix/.vesk-ready-2"
has_syswow64() { [ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; }
if [ -f "$ready" ]; then
    [ "$wow64" != wow64 ] || has_syswow64 && exit 0
    echo "wine prefix $prefix has no 32-bit support (no syswow64): making it again"
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY=
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$prefix"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w || true
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
if [ "$wow64" = wow64 ] && ! has_syswow64; then
    echo "wine prefix $prefix: wine64 made it without 32-bit support (no syswow64)" >&2
    exit 1
fi
touch "$ready"
