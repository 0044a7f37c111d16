#!/bin/sh
# Makes sure 32-bit (i386) programs start on this machine: the 32-bit half of Wine, and through
# it the shipping module. Some kernels run them themselves; others refuse them ("Exec format
# error"), and then they start through qemu's user-mode emulator by a binfmt_misc entry. That
# entry does not survive a reboot, so every run checks that a 32-bit program starts and
# registers the entry again when none does. Quiet when all is well; a message and exit 1 when
# it cannot be set up. The packages come from scripts/install-deps.sh.
# Usage: scripts/enable-32bit.sh [--qemu]
#   --qemu  use the emulator even where the kernel runs 32-bit programs itself (an entry in
#           binfmt_misc comes before the kernel's own loader), to try the emulated path here.
set -u
binfmt=/proc/sys/fs/binfmt_misc
entry="$binfmt/qemu-i386"
qemu=/usr/bin/qemu-i386-static
probe=/usr/lib/wine/wine
force=0
[ "${1:-}" = --qemu ] && force=1

fail() {
    echo "enable-32bit: $*" >&2
    echo "enable-32bit: 32-bit programs cannot run on this machine, so the 32-bit tier cannot" >&2
    exit 1
}

# Wine's 32-bit loader is an i386 program: when it answers, 32-bit programs start.
starts() { "$probe" --version >/dev/null 2>&1; }
emulated() { grep -qx enabled "$entry" 2>/dev/null && grep -q "interpreter $qemu" "$entry"; }

if starts && { [ $force = 0 ] || emulated; }; then
    exit 0
fi
[ -x "$probe" ] || fail "$probe is missing (package wine32:i386; run scripts/install-deps.sh)"
[ -x "$qemu" ] || fail "$qemu is missing (package qemu-user-static 8.1 or newer; run scripts/install-deps.sh)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ! -e "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt" ||
        fail "cannot mount binfmt_misc on $binfmt (needs root)"
fi
# An entry of that name that does not work (disabled, or its emulator gone) is replaced.
if [ -e "$entry" ]; then
    echo -1 | $sudo tee "$entry" >/dev/null || fail "cannot remove the old entry $entry"
fi
# i386 ELF executables and shared objects. F opens the emulator now, so that the entry works in
# every mount namespace; P, O and C as qemu's own entries use them. binfmt_misc decodes the \x.
printf '%s\n' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':POCF' |
    $sudo tee "$binfmt/register" >/dev/null || fail "cannot register an entry in $binfmt"
starts || fail "32-bit programs still do not start ($probe --version fails under $qemu)"
echo "enable-32bit: 32-bit programs now start through $qemu"
