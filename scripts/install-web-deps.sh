#!/bin/sh
# Installs what the browser page's build and tests need, and does nothing when all is there:
# Debian's emscripten (the WebAssembly compiler) and chromium (the tests' browser), the source
# packages of the C libraries the WebAssembly links (pugixml, zlib, libzip: emscripten's own
# downloadable ports cannot be fetched here), unpacked under build/web-src/ and never committed,
# and the page's npm packages, pinned by web/package-lock.json, into web/node_modules/.
set -eu
cd "$(dirname "$0")/.."
packages="emscripten chromium dpkg-dev"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
command -v npm >/dev/null 2>&1 || missing="$missing npm"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# The source packages come from the suite the binary packages come from.
. /etc/os-release
need_src=0
grep -rqs "^Types:.*deb-src" /etc/apt/sources.list.d/ || grep -qs "^deb-src" /etc/apt/sources.list || need_src=1
src_list=/etc/apt/sources.list.d/vesk-sorvel-src.sources
sources=""
for s in pugixml zlib libzip; do
    ls -d build/web-src/"$s"-*/ >/dev/null 2>&1 || sources="$sources $s"
done

update_lists() {
    # A mirror that is being synced can refuse an index for a while: try again, then go on.
    for try in 1 2 3; do
        $sudo apt-get update -qq && return 0
        echo "apt-get update failed (try $try of 3)"
        sleep 15
    done
    return 0
}

if [ -n "$missing" ] || [ -n "$sources" ]; then
    if [ -n "$sources" ] && [ $need_src = 1 ]; then
        printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
            "Suites: $VERSION_CODENAME $VERSION_CODENAME-updates" "Components: main" \
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
            $sudo tee "$src_list" >/dev/null
    fi
    update_lists
fi
if [ -n "$missing" ]; then
    echo "installing:$missing"
    # shellcheck disable=SC2086
    $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if [ -n "$sources" ]; then
    echo "fetching sources:$sources"
    mkdir -p build/web-src
    # shellcheck disable=SC2086
    (cd build/web-src && apt-get source -qq $sources >/dev/null)
fi

# The npm packages, exactly as the lock file pins them; npm ci starts from a clean folder, so it
# runs only when the lock file is newer than the last install.
if [ ! -f web/node_modules/.package-lock.json ] ||
   [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
    (cd web && npm ci --no-audit --no-fund --ignore-scripts >/dev/null)
fi
exit 0
