#!/bin/sh
# Builds the C and C++ libraries the WebAssembly links, with Debian's emscripten, from the
# Debian source packages that scripts/install-deps.sh unpacked under build/web-src/: zlib,
# libzip (the .mxl container, read and written in C++ as sorvel does) and pugixml. They are
# installed into build/web-libs/ (include/, lib/, lib/cmake/), which the web tree finds them in.
# Each library is built once; delete build/web-libs/ to build them again.
set -eu
cd "$(dirname "$0")/.."
root=$PWD
src=$root/build/web-src
prefix=$root/build/web-libs
work=$root/build/web-libs-build
# Debian's emcc runs under the machine's node, which may not search Debian's node modules.
export NODE_PATH=/usr/share/nodejs
# emscripten 3.1.6's output calls fetch() on a file path under node 18 and newer, which breaks
# CMake's try-run checks; without fetch it reads the file.
emulator="$(command -v node);--no-experimental-fetch"
# Refusals are C++ exceptions: WebAssembly's own exception handling (every current browser and
# node has it) costs nothing until one is thrown, where emscripten's older JavaScript-based
# handling routes every call that may throw through JavaScript.
flags="-O2 -fwasm-exceptions"
# Libraries built with other flags (an older checkout's) are built again.
if [ "$(cat "$prefix/flags" 2>/dev/null)" != "$flags" ]; then
    rm -rf "$prefix" "$work"
fi
mkdir -p "$prefix/include" "$prefix/lib" "$work"
echo "$flags" >"$prefix/flags"

if [ ! -f "$prefix/lib/libz.a" ]; then
    echo "web libs: zlib"
    zsrc=$(ls -d "$src"/zlib-*/ | head -n 1)
    # The container needs only deflate and inflate; the gz* file functions are left out.
    mkdir -p "$work/zlib"
    for f in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
        emcc $flags -DHAVE_UNISTD_H -c "$zsrc/$f.c" -o "$work/zlib/$f.o"
    done
    emar rcs "$prefix/lib/libz.a" "$work"/zlib/*.o
    cp "$zsrc/zlib.h" "$zsrc/zconf.h" "$prefix/include/"
fi

if [ ! -f "$prefix/lib/libpugixml.a" ]; then
    echo "web libs: pugixml"
    psrc=$(ls -d "$src"/pugixml-*/ | head -n 1)
    em++ $flags -std=c++17 -c "$psrc/src/pugixml.cpp" -o "$work/pugixml.o"
    emar rcs "$prefix/lib/libpugixml.a" "$work/pugixml.o"
    cp "$psrc/src/pugixml.hpp" "$psrc/src/pugiconfig.hpp" "$prefix/include/"
fi

if [ ! -f "$prefix/lib/libzip.a" ]; then
    echo "web libs: libzip (its configure takes some minutes)"
    lsrc=$(ls -d "$src"/libzip-*/ | head -n 1)
    emcmake cmake -S "$lsrc" -B "$work/libzip" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
        -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a" \
        -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_COMMONCRYPTO=OFF \
        -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
        >"$work/libzip-configure.log" 2>&1 || { tail -n 30 "$work/libzip-configure.log"; exit 1; }
    cmake --build "$work/libzip" >"$work/libzip-build.log" 2>&1 ||
        { tail -n 30 "$work/libzip-build.log"; exit 1; }
    cmake --install "$work/libzip" >/dev/null
fi

# nlohmann/json is header-only; its headers are copied, since the web tree must not search the
# machine's /usr/include (the C library there is not emscripten's).
if [ ! -d "$prefix/include/nlohmann" ]; then
    cp -r /usr/include/nlohmann "$prefix/include/"
fi
