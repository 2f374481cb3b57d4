#!/usr/bin/env bash
# Builds the libraries VELTRA links in the browser (WebAssembly, Debian's
# emscripten) from Debian source packages into a prefix outside the checkout:
#
#   prefix=$(tools/web/deps.sh)     # the last line of stdout is the prefix
#
# Bullet, Assimp (glTF import only, with zlib), libsndfile with mpg123 and
# LAME, and inih, all static; GLM and stb headers are copied in. GLFW 3,
# OpenAL and WebGL 2 are emscripten's own. The prefix is
# ${VELTRA_DEPS_CACHE:-/var/cache/veltra}/web-<key>; the key hashes the pinned
# source versions, this script, the source helper and the host packages, so an
# unchanged setup reuses the finished prefix. Progress goes to stderr. Run as
# root on Debian 12: it installs missing host packages with apt-get.
set -euo pipefail

# Debian source packages, exactly as the Windows build pins them.
PINS=(
  zlib=1:1.2.13.dfsg-1
  bullet=3.24+dfsg-2
  assimp=5.2.5~ds0-1
  lame=3.100-6
  libsndfile=1.2.0-1+deb12u1
  mpg123=1.32.10-1+deb13u1      # trixie: bookworm's 1.31.2 lacks its signature file
  libinih=59-1                  # trixie: bookworm's 55 is gone from the archive
)
NEWER_SUITE=trixie

HOST_PACKAGES=(
  emscripten cmake ninja-build pkg-config make patch xz-utils bzip2 dpkg-dev autotools-dev
  libglm-dev libstb-dev libutfcpp-dev
)

self=$(readlink -f "${BASH_SOURCE[0]}")
here=$(dirname "$self")
sources_lib=$here/../lib/debian-sources.sh
prefix_lib=$here/../lib/dependency-prefix.sh
cache=${VELTRA_DEPS_CACHE:-/var/cache/veltra}
jobs=$(nproc)
# Debian's emscripten runs its JavaScript tools with the machine's node,
# which must find Debian's modules (acorn, terser).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

DEPS_NAME=web/deps.sh
# shellcheck source=../lib/dependency-prefix.sh
source "$prefix_lib"
# shellcheck source=../lib/debian-sources.sh
source "$sources_lib"

"$here/../install-packages.sh" "${HOST_PACKAGES[@]}" || die "cannot install the host packages"

host_versions() {
  dpkg-query -W -f='${Package} ${Version}\n' "${HOST_PACKAGES[@]}"
}
key=$( { printf '%s\n' "${PINS[@]}"; cat "$self" "$sources_lib" "$prefix_lib"; host_versions; } | sha256sum | cut -c1-12)
deps_open "$cache" "web-$key"


# ---------------------------------------------------------------- sources
debian_sources_setup "$cache"
debian_sources_fetch "${PINS[@]}"
declare -A SRC
debian_sources_unpack "$srcroot" "${PINS[@]}"
version_of() { local p; for p in "${PINS[@]}"; do [ "${p%%=*}" = "$1" ] && { printf '%s' "${p#*=}"; return; }; done; }

# ---------------------------------------------------------------- build helpers
export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig PKG_CONFIG_PATH='' PKG_CONFIG_SYSROOT_DIR=
# C++ with exceptions that can be caught: Assimp throws and catches while it
# reads a file, and emscripten's default turns every throw into an abort.
CXX_EXCEPTIONS=-fexceptions
cmake_lib() {  # <name> <source dir> <cmake options...>
  local name=$1 src=$2 t0=$SECONDS; shift 2
  log "building $name"
  run "$name" emcmake cmake -G Ninja -S "$src" -B "$bld/$name" \
    -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_PREFIX_PATH="$stage" -DCMAKE_FIND_ROOT_PATH="$stage" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include -DCMAKE_CXX_FLAGS="$CXX_EXCEPTIONS" "$@"
  run "$name" cmake --build "$bld/$name" --parallel "$jobs"
  run "$name" cmake --install "$bld/$name"
  log "built $name in $((SECONDS - t0)) s"
}
autotools_lib() {  # <name> <configure options...>: static, out of tree
  local name=$1 t0=$SECONDS; shift
  log "building $name"
  mkdir -p "$bld/$name"
  ( cd "$bld/$name" &&
    run "$name" emconfigure "${SRC[$name]}/configure" --host=wasm32-unknown-emscripten \
      --prefix="$stage" --enable-static --disable-shared CFLAGS="-O2" "$@" &&
    run "$name" emmake make -j"$jobs" &&
    run "$name" emmake make install )
  log "built $name in $((SECONDS - t0)) s"
}

# ---------------------------------------------------------------- header-only
log "copying GLM, stb and utf8cpp headers"
mkdir -p "$stage/include" "$stage/lib/pkgconfig"
cp -a /usr/include/glm /usr/include/stb /usr/include/utf8cpp "$stage/include/"
licence glm /usr/share/doc/libglm-dev/copyright
licence stb /usr/share/doc/libstb-dev/copyright

# ---------------------------------------------------------------- zlib, minizip
log "building zlib"
( cd "${SRC[zlib]}" &&
  run zlib emconfigure ./configure --static --prefix="$stage" &&
  run zlib emmake make -j"$jobs" libz.a &&
  run zlib emmake make install )
licence zlib "${SRC[zlib]}/LICENSE" "${SRC[zlib]}/debian/copyright"

log "building minizip"
mz=${SRC[zlib]}/contrib/minizip
mkdir -p "$bld/minizip" "$stage/include/minizip"
for f in ioapi unzip zip mztools; do
  run minizip emcc -O2 -I"$stage/include" -c "$mz/$f.c" -o "$bld/minizip/$f.o"
done
run minizip emar rcs "$stage/lib/libminizip.a" "$bld/minizip"/*.o
cp "$mz"/{ioapi,unzip,zip,mztools,crypt}.h "$stage/include/minizip/"
cat >"$stage/lib/pkgconfig/minizip.pc" <<EOF
prefix=$stage
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: minizip
Description: zip and unzip library (zlib's contrib/minizip)
Version: $(sed -n 's/^Version: *//p' "$stage/lib/pkgconfig/zlib.pc")
Requires: zlib
Libs: -L\${libdir} -lminizip
Cflags: -I\${includedir}/minizip
EOF
licence minizip "${SRC[zlib]}/LICENSE" "$mz/MiniZip64_info.txt"

# ---------------------------------------------------------------- Bullet
trim_bullet "${SRC[bullet]}"
cmake_lib bullet "${SRC[bullet]}" -DBUILD_BULLET3=OFF -DBUILD_PYBULLET=OFF -DBUILD_EXTRAS=OFF \
  -DBUILD_UNIT_TESTS=OFF -DBUILD_CPU_DEMOS=OFF -DBUILD_BULLET2_DEMOS=OFF -DBUILD_OPENGL3_DEMOS=OFF \
  -DBUILD_ENET=OFF -DBUILD_CLSOCKET=OFF -DUSE_GLUT=OFF -DUSE_GRAPHICAL_BENCHMARK=OFF \
  -DENABLE_VHACD=OFF -DINSTALL_LIBS=ON -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON
licence bullet "${SRC[bullet]}/LICENSE.txt" "${SRC[bullet]}/debian/copyright"

# ---------------------------------------------------------------- Assimp
( cd "${SRC[assimp]}" && run assimp patch -R -p1 -i debian/patches/use-system-libdraco.patch )
# It links pkg-config's bare names (minizip;z), which a consumer cannot find;
# its full library paths instead.
sed -i 's|TARGET_LINK_LIBRARIES(assimp ${UNZIP_LIBRARIES})|TARGET_LINK_LIBRARIES(assimp ${UNZIP_LINK_LIBRARIES})|' \
  "${SRC[assimp]}/code/CMakeLists.txt"
grep -q 'UNZIP_LINK_LIBRARIES' "${SRC[assimp]}/code/CMakeLists.txt" \
  || die "assimp: could not switch it to minizip's full library paths"
cmake_lib assimp "${SRC[assimp]}" \
  -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_GLTF_IMPORTER=ON \
  -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF -DASSIMP_NO_EXPORT=ON \
  -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_SAMPLES=OFF \
  -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF \
  -DASSIMP_INSTALL_PDB=OFF -DASSIMP_IGNORE_GIT_HASH=ON -DASSIMP_BUILD_DOCS=OFF \
  -DZLIB_LIBRARY="$stage/lib/libz.a" -DZLIB_INCLUDE_DIR="$stage/include" \
  -DCMAKE_CXX_FLAGS="$CXX_EXCEPTIONS -I$stage/include/utf8cpp"
licence assimp "${SRC[assimp]}/LICENSE" "${SRC[assimp]}/debian/copyright"

# ---------------------------------------------------------------- inih
log "building inih"
ini=${SRC[libinih]}
mkdir -p "$bld/inih"
run inih emcc -O2 -c "$ini/ini.c" -o "$bld/inih/ini.o"
run inih em++ -O2 $CXX_EXCEPTIONS -std=c++11 -I"$ini" -c "$ini/cpp/INIReader.cpp" -o "$bld/inih/INIReader.o"
run inih emar rcs "$stage/lib/libinih.a" "$bld/inih/ini.o"
run inih emar rcs "$stage/lib/libINIReader.a" "$bld/inih/INIReader.o"
cp "$ini/ini.h" "$ini/cpp/INIReader.h" "$stage/include/"
# One module for the game's pkg-config lookup; the static INIReader needs
# inih after it.
cat >"$stage/lib/pkgconfig/INIReader.pc" <<EOF
prefix=$stage
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: INIReader
Description: simple .INI file parser for C++
Version: $(noepoch "$(version_of libinih)")
Libs: -L\${libdir} -lINIReader -linih
Cflags: -I\${includedir}
EOF
licence inih "$ini/LICENSE.txt" "$ini/debian/copyright"

# ---------------------------------------------------------------- sound decoding
# mpg123 in portable C (no assembly for WebAssembly).
autotools_lib mpg123 --with-cpu=generic_fpu --disable-components --enable-libmpg123 --disable-modules
licence mpg123 "${SRC[mpg123]}/COPYING" "${SRC[mpg123]}/debian/copyright"
# libsndfile builds its MPEG support only with LAME beside mpg123. LAME
# 3.100's config.sub predates emscripten: Debian's current one knows it.
cp /usr/share/misc/config.sub /usr/share/misc/config.guess "${SRC[lame]}/"
autotools_lib lame --disable-frontend --disable-decoder --disable-gtktest
licence lame "${SRC[lame]}/COPYING" "${SRC[lame]}/LICENSE" "${SRC[lame]}/debian/copyright"
cmake_lib libsndfile "${SRC[libsndfile]}" \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=ON -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF
grep -q 'ENABLE_MPEG.*ON\|SndFile_WITH_MPEG 1' "$stage/lib/cmake/SndFile/SndFileConfig.cmake" \
  || die "libsndfile was built without MPEG support (see $logs/libsndfile.log)"
licence libsndfile "${SRC[libsndfile]}/COPYING" "${SRC[libsndfile]}/debian/copyright"
# Static only: the game's pkg-config lookup links the MPEG libraries too
# (its CMake package would need find modules for them).
sed -i 's|^Libs: .*|Libs: -L${libdir} -lsndfile -lmpg123 -lmp3lame -lm|' "$stage/lib/pkgconfig/sndfile.pc"

# ---------------------------------------------------------------- finish
rm -rf "$stage/share/man" "$stage/share/doc"
find "$stage" -name '*.la' -delete
{
  printf 'VELTRA web dependencies, built by tools/web/deps.sh\n'
  printf '%s\n' "${PINS[@]}"
  emcc --version | head -n 1
} >"$stage/VERSIONS"
# The prefix is used where it was built: pkg-config files and CMake packages
# keep their absolute paths, so the finished prefix takes its final name.
for f in $(grep -rlF "$stage" "$stage/lib" "$stage/share" 2>/dev/null || true); do
  sed -i "s|$stage|$prefix|g" "$f"
done
deps_close
