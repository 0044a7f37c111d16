#!/bin/sh
# Builds the browser page into build/web/: the WebAssembly core (web/, with Debian's emscripten),
# the page's files, the drawing library from web/node_modules, and VeskSorvel.html, the whole
# page in one self-contained file that works opened from disk.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh base web
scripts/build-web-libs.sh
export NODE_PATH=/usr/share/nodejs
if [ ! -f build/web-wasm/build.ninja ]; then
    emcmake cmake -S web -B build/web-wasm -G Ninja -DCMAKE_BUILD_TYPE=Release >build/web-wasm.log 2>&1 ||
        { tail -n 30 build/web-wasm.log; exit 1; }
fi
cmake --build build/web-wasm -j "${JOBS:-$(nproc)}" >build/web-wasm.log 2>&1 ||
    { tail -n 40 build/web-wasm.log; exit 1; }
site=build/web
rm -rf "$site"
mkdir -p "$site"
cp web/index.html web/style.css web/*.js "$site/"
cp build/web-wasm/sorvel-core.js "$site/"
cp web/node_modules/verovio/dist/verovio-toolkit-wasm.js "$site/"
node web/tools/single-file.mjs "$site" "$site/VeskSorvel.html"
echo "web: the page is in $site/ (serve it with make serve); one file: $site/VeskSorvel.html"
