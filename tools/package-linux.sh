#!/usr/bin/env bash
# Makes dist/veltra_<version>_amd64.deb on Debian 12: a release build
# installed under /usr and packed by CPack, its dependencies on the runtime
# libraries computed by dpkg-shlibdeps. Installs what it needs itself (run
# as root on a fresh machine). tests/linux/test_package.sh checks the result.
# Usage: tools/package-linux.sh [build-dir]   (default build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}

./tools/install-deps.sh
tools/install-packages.sh dpkg-dev file

# Debian's places for games: /usr/games, /usr/lib/games, /usr/share/games.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=games -DVELTRA_GAME_DIR=lib/games/veltra -DVELTRA_DATA_DIR=share/games/veltra \
  -DVELTRA_WERROR=ON -DVELTRA_TESTS=OFF -DVELTRA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)

version=$(sed -n 's/^project(veltra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package="veltra_${version}_$(dpkg --print-architecture).deb"
mkdir -p dist
mv -f "$build/$package" "dist/$package"
echo "package-linux.sh: dist/$package ($(stat -c %s "dist/$package") bytes)"
dpkg-deb --field "dist/$package" Depends
