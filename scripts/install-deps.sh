#!/bin/sh
# Installs the Debian and npm packages the builds and tests need, in groups, so that `make test`
# can start the native lanes after the first group while the others install beside them. A group
# whose packages are all present costs nothing (no apt-get update).
#
# Usage: install-deps.sh [--marks PREFIX] [GROUP ...]    (no group: every group, in this order)
#   base       compilers, libraries and lint tools of the native trees, and the C libraries'
#              sources (pugixml, zlib, libzip) that the native and WebAssembly builds share
#   mingw      the Windows cross compilers
#   wine       Wine, its 32-bit half and qemu's user-mode emulator
#   musescore  MuseScore 3, for sorvel's round trip
#   web        emscripten, chromium and the page's npm packages (scripts/install-web-deps.sh)
# --marks PREFIX: after each group, creates the file PREFIX<group>.mark (scripts/run-tests.sh
# waits for them).
set -eu
cd "$(dirname "$0")/.."
marks=""
if [ "${1:-}" = --marks ]; then
    marks="$2"
    shift 2
fi
[ $# -eq 0 ] && set -- base mingw wine musescore web

packages_of() {
    case "$1" in
    base) echo "cmake ninja-build g++ googletest clang libclang-rt-14-dev python3 clang-format
                clang-tidy nlohmann-json3-dev libpugixml-dev libzip-dev libcli11-dev dpkg-dev" ;;
    mingw) echo "g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
                 binutils-mingw-w64-x86-64" ;;
    wine) echo "wine64 libwine fonts-wine" ;;
    musescore) echo "musescore3 musescore3-common" ;;
    web) echo "emscripten chromium" ;;
    esac
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# The 32-bit tier runs the shipping module in 32-bit Wine (the i386 half, beside wine64) under
# qemu's user-mode emulator, which must be 8.1 or newer: bookworm's 7.2 takes minutes to boot a
# prefix, so the emulator comes from the backports suite.
. /etc/os-release
backports="${VERSION_CODENAME}-backports"
qemu_current() {
    version=$(dpkg-query -W -f='${Status} ${Version}' qemu-user-static 2>/dev/null |
              sed -n 's/^install ok installed //p')
    [ -n "$version" ] && dpkg --compare-versions "$version" ge 1:8.1
}

sources_missing() {
    for s in pugixml zlib libzip; do
        ls -d build/web-src/"$s"-*/ >/dev/null 2>&1 || echo "$s"
    done
}

# What the groups asked for still lack (Debian packages, and the words wine32, qemu, sources).
missing_of() {
    for p in $(packages_of "$1"); do installed "$p" || echo "$p"; done
    case "$1" in
    base) [ -z "$(sources_missing)" ] || echo sources ;;
    wine)
        installed wine32:i386 || echo wine32
        qemu_current || echo qemu
        ;;
    web) command -v npm >/dev/null 2>&1 || echo npm ;;
    esac
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Every list any group needs (i386, backports, source packages) is added before the one
# apt-get update a test run makes: a later call within the hour (make test's deps lane, after its
# base group) finds the lists fresh and complete.
lists_ready=0
stamp=build/apt-lists-updated
prepare_lists() {
    [ $lists_ready = 1 ] && return 0
    lists_ready=1
    [ -n "$(find "$stamp" -mmin -60 2>/dev/null)" ] && return 0
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    if ! grep -rqs "^[^#]*$backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
        printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: $backports" \
            "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
            $sudo tee "/etc/apt/sources.list.d/$backports.sources" >/dev/null
    fi
    if ! grep -rqs "^Types:.*deb-src" /etc/apt/sources.list.d/ && ! grep -qs "^deb-src" /etc/apt/sources.list; then
        printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
            "Suites: $VERSION_CODENAME $VERSION_CODENAME-updates" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
            $sudo tee /etc/apt/sources.list.d/vesk-sorvel-src.sources >/dev/null
    fi
    # A mirror that is being synced can refuse an index for a while ("File has unexpected size"),
    # and one seen here kept refusing it for hours: try once more, then go on with the lists that
    # did arrive; a package that is then missing still fails the install below.
    mkdir -p build
    for try in 1 2; do
        $sudo apt-get update -qq && : >"$stamp" && return 0
        echo "apt-get update failed (try $try of 2)"
        [ "$try" = 2 ] || sleep 5
    done
    : >"$stamp"  # the lists are as complete as this mirror makes them: no second round of tries
    return 0
}

apt_install() { $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }

# install_wine installs Wine's amd64 packages and its i386 half. wine32's libraries must have the
# very version of their amd64 twins (the amd64 ones may move to the current point release with
# it). When the mirror's i386 list of the security suite did not arrive, the twins' candidates
# differ (amd64 from the security suite, i386 from the release): then every package of this
# install comes from the release suite, downgrading an amd64 twin where its i386 one must match.
install_wine() {
    { [ $# -eq 0 ] || apt_install "$@"; } && apt_install wine32:i386 && return 0
    echo "the i386 and amd64 candidates differ: installing Wine from $VERSION_CODENAME itself"
    pin=$(mktemp)
    printf '%s\n' "Package: *" "Pin: release n=$VERSION_CODENAME" "Pin-Priority: 1001" >"$pin"
    chmod 644 "$pin"
    status=0
    apt_install --allow-downgrades -o Dir::Etc::Preferences="$pin" "$@" wine32:i386 || status=$?
    rm -f "$pin"
    return $status
}

install_group() {
    group="$1"
    missing=$(missing_of "$group" | tr '\n' ' ')
    if [ -n "$missing" ]; then
        echo "installing ($group): $missing"
        prepare_lists
        debs=""
        for p in $missing; do
            case "$p" in wine32 | qemu | sources | npm) ;; *) debs="$debs $p" ;; esac
        done
        if [ "$group" = wine ]; then
            # shellcheck disable=SC2086
            install_wine $debs
        else
            # shellcheck disable=SC2086
            [ -n "$debs" ] && apt_install $debs
        fi
        case " $missing " in *" npm "*) apt_install npm ;; esac
        case " $missing " in *" qemu "*)
            $sudo apt-get install -y -qq --no-install-recommends -t "$backports" qemu-user-static >/dev/null ;;
        esac
        sources=$(sources_missing | tr '\n' ' ')
        if [ -n "$sources" ] && [ "$group" = base ]; then
            mkdir -p build/web-src
            # shellcheck disable=SC2086 # one word per source package
            (cd build/web-src && apt-get source -qq $sources >/dev/null)
        fi
    fi
    # The page's npm packages are checked every time: their lock file can change.
    [ "$group" = web ] && scripts/install-web-deps.sh
    return 0
}

for group in "$@"; do
    install_group "$group"
    [ -n "$marks" ] && : >"$marks$group.mark"
done
exit 0
