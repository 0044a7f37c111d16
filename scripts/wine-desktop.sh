#!/bin/sh
# Keeps one Wine desktop process alive while the windowed tests run: otherwise every test
# process starts its own desktop, which lingers and makes CTest wait about a second per test.
set -u
action="$1"
export WINEPREFIX="$2" WINEDEBUG=-all DISPLAY=
case "$action" in
start)
    (/usr/lib/wine/wine64 notepad.exe </dev/null >/dev/null 2>&1 &)
    # Let the keeper's desktop finish starting before the first test starts its own process:
    # two processes booting the same fresh prefix at once have been seen to hang.
    for _ in $(seq 1 20); do
        pgrep -f 'notepad.exe' >/dev/null 2>&1 && break
        sleep 1
    done
    sleep 3
    ;;
stop)
    /usr/lib/wine/wineserver -k 2>/dev/null || wineserver -k 2>/dev/null || true
    ;;
esac
