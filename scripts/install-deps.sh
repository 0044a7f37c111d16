#!/bin/sh
# Installs the Debian packages the builds and tests need; does nothing when all are present.
set -eu
packages="cmake ninja-build g++ googletest clang libclang-rt-14-dev python3 clang-format clang-tidy
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 libwine fonts-wine nlohmann-json3-dev
  libpugixml-dev libzip-dev libcli11-dev musescore3 musescore3-common"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

# The 32-bit tier runs the shipping module in 32-bit Wine (the i386 half, beside wine64) under
# qemu's user-mode emulator, which must be 8.1 or newer: bookworm's 7.2 takes minutes to boot a
# prefix, so the emulator comes from the backports suite.
. /etc/os-release
backports="${VERSION_CODENAME}-backports"
need_arch=0
dpkg --print-foreign-architectures | grep -qx i386 || need_arch=1
need_wine32=0
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || need_wine32=1
need_qemu=0
qemu_version=$(dpkg-query -W -f='${Status} ${Version}' qemu-user-static 2>/dev/null |
               sed -n 's/^install ok installed //p')
if [ -z "$qemu_version" ] || ! dpkg --compare-versions "$qemu_version" ge 1:8.1; then
    need_qemu=1
fi

[ -z "$missing" ] && [ $need_arch$need_wine32$need_qemu = 000 ] && exec "$(dirname "$0")/install-web-deps.sh"
echo "installing:$missing$([ $need_wine32 = 1 ] && echo " wine32:i386")$([ $need_qemu = 1 ] && echo " qemu-user-static/$backports")"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
[ $need_arch = 1 ] && $sudo dpkg --add-architecture i386
if [ $need_qemu = 1 ] && ! grep -rqs "^[^#]*$backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: $backports" \
        "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
        $sudo tee "/etc/apt/sources.list.d/$backports.sources" >/dev/null
fi
# A mirror that is being synced can refuse an index for a while ("File has unexpected size"):
# try again, then go on with the lists that did arrive; a package that is then missing still
# fails the install below.
for try in 1 2 3; do
    $sudo apt-get update -qq && break
    echo "apt-get update failed (try $try of 3)"
    sleep 15
done
# shellcheck disable=SC2086
[ -n "$missing" ] && $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
# wine32's libraries must have the very version of their amd64 twins (the amd64 ones may move to
# the current point release with it).
[ $need_wine32 = 1 ] && $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
[ $need_qemu = 1 ] &&
    $sudo apt-get install -y -qq --no-install-recommends -t "$backports" qemu-user-static >/dev/null
# The browser page's tools, and the C libraries' sources that sorvel's native build shares with
# the WebAssembly build (pugixml in its compact mode).
exec "$(dirname "$0")/install-web-deps.sh"
