#!/bin/sh
# Lets this machine run 32-bit programs: its kernel refuses i386 ELF programs, so they start
# through qemu's user-mode emulator by a binfmt_misc entry (the 32-bit half of Wine and, through
# it, the shipping 32-bit module). The entry does not survive a reboot, so every run checks that a
# 32-bit program starts, and registers the entry again when it does not. Quiet when all is well;
# a message and exit 1 when it cannot be set up. The packages come from scripts/install-deps.sh.
set -u
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386-static
probe=/usr/lib/wine/wine

fail() {
    echo "win32 emulation: $*" >&2
    echo "win32 emulation: the 32-bit tier cannot run on this machine" >&2
    exit 1
}

# Wine's 32-bit loader is an i386 ELF program: when it answers, 32-bit programs start.
works() { "$probe" --version >/dev/null 2>&1; }

works && exit 0
[ -x "$probe" ] || fail "$probe is missing (package wine32:i386; run scripts/install-deps.sh)"
[ -x "$qemu" ] || fail "$qemu is missing (package qemu-user-static 8.1 or newer; run scripts/install-deps.sh)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ! -e "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt" ||
        fail "cannot mount binfmt_misc on $binfmt (needs root)"
fi
# An entry of that name that does not work (disabled, or its emulator gone) is replaced.
if [ -e "$binfmt/qemu-i386" ]; then
    echo -1 | $sudo tee "$binfmt/qemu-i386" >/dev/null || fail "cannot remove the old qemu-i386 entry"
fi
# i386 ELF executables and shared objects; F opens the emulator now, so the entry also works in
# other mount namespaces; P, O and C as qemu's own entries use them. binfmt_misc decodes the \x.
printf '%s\n' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':POCF' |
    $sudo tee "$binfmt/register" >/dev/null || fail "cannot register the qemu-i386 entry in $binfmt"
works || fail "32-bit programs still do not start ($probe --version fails under $qemu)"
echo "win32 emulation: registered $qemu for i386 programs"
