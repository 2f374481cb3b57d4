#!/usr/bin/env bash
# Builds VELTRA for the browser (WebAssembly and WebGL 2) and packages it:
#   dist/veltra-web/      the folder any web host serves as it is
#   dist/veltra-web.zip   the same folder, zipped
# On a fresh Debian 12 machine as root it first installs what it needs and
# builds the libraries (tools/web/deps.sh, cached outside the checkout).
# Usage: tools/web/build.sh [build-dir]   (default build-web)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-web}
dist=$root/dist
site=$dist/veltra-web

note() { echo "build.sh: $*" >&2; }

tools/install-packages.sh emscripten cmake ninja-build pkg-config zip fonts-dejavu-core
prefix=$(tools/web/deps.sh | tail -n 1)
[ -f "$prefix/VERSIONS" ] || { note "no dependency prefix at '$prefix'"; exit 1; }

# Debian's emscripten runs its JavaScript tools with the machine's node,
# which must find Debian's modules (acorn, terser).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Only the prefix's libraries, never the machine's own -dev packages.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

emcmake cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DVELTRA_WERROR=ON \
  -DVELTRA_TESTS=OFF \
  -DVELTRA_BENCH=OFF \
  -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_ROOT_PATH="$prefix" >&2
cmake --build "$build" --target veltra -j"$(nproc)" >&2

rm -rf "$site"
mkdir -p "$site/licenses"
cp "$build/veltra.js" "$build/veltra.wasm" "$build/veltra.data" "$site/"
cp tools/web/index.html "$site/"
cp assets/CREDITS "$site/CREDITS.txt"
cp -r "$prefix/share/licenses/." "$site/licenses/"
if [ -f /usr/share/doc/fonts-dejavu-core/copyright ]; then
  # The font sheet and the start screen are drawn with the DejaVu fonts.
  mkdir -p "$site/licenses/dejavu-fonts"
  cp /usr/share/doc/fonts-dejavu-core/copyright "$site/licenses/dejavu-fonts/copyright"
fi
# Emscripten's own runtime (its GLFW, OpenAL and libc) is MIT/NCSA licensed.
if [ -f /usr/share/doc/emscripten/copyright ]; then
  mkdir -p "$site/licenses/emscripten"
  cp /usr/share/doc/emscripten/copyright "$site/licenses/emscripten/copyright"
fi

rm -f "$dist/veltra-web.zip"
(cd "$dist" && zip -q -r -X -9 veltra-web.zip veltra-web)
note "made $dist/veltra-web.zip ($(du -k "$dist/veltra-web.zip" | cut -f1) KiB)"
echo "$dist/veltra-web.zip"
