#!/bin/sh
# Installs the Debian packages the builds and tests need; does nothing when all are present.
set -eu
packages="cmake ninja-build g++ googletest clang libclang-rt-14-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 libwine fonts-wine nlohmann-json3-dev
  libpugixml-dev libzip-dev libcli11-dev musescore3 musescore3-common"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
