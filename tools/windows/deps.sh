#!/usr/bin/env bash
# Builds the libraries VELTRA links for Windows (x86_64-w64-mingw32, Debian's
# MinGW-w64) from Debian source packages into a prefix outside the checkout:
#
#   prefix=$(tools/windows/deps.sh)     # the last line of stdout is the prefix
#
# The prefix is ${VELTRA_DEPS_CACHE:-/var/cache/veltra}/mingw64-<key>; the key
# hashes the pinned source versions, this script, the toolchain file and the
# host compiler and header packages, so any change to them builds a new prefix
# and an unchanged setup reuses the finished one. Progress goes to stderr.
# Run as root on Debian 12: it installs missing host packages with apt-get.
# VELTRA_DEPS_KEEP_BUILD=1 keeps the build trees after a successful build.
set -euo pipefail

# Debian source packages, exactly as built. bookworm's, except where noted.
PINS=(
  zlib=1:1.2.13.dfsg-1          # bookworm's +deb12u1 lives in the security archive only
  glfw3=3.3.8-1
  glew=2.2.0-4
  bullet=3.24+dfsg-2
  assimp=5.2.5~ds0-1
  googletest=1.12.1-0.2
  lame=3.100-6
  libsndfile=1.2.0-1+deb12u1
  mpg123=1.32.10-1+deb13u1      # trixie: bookworm's 1.31.2 lacks its signature file
  libinih=59-1                  # trixie: bookworm's 55 is gone from the archive
  openal-soft=1:1.24.2-1        # trixie, original tarball only: its .dsc is missing
  mingw-w64=10.0.0-3            # only winpthreads' COPYING, for the licence folder
)
# Sources that only the newer suite has; its entries are derived from the
# machine's own ones.
NEWER_SUITE=trixie

HOST_PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  cmake ninja-build pkg-config make patch xz-utils bzip2 dpkg-dev
  libglm-dev libstb-dev libutfcpp-dev
)
TRIPLE=x86_64-w64-mingw32
CC_WIN=$TRIPLE-gcc-posix
CXX_WIN=$TRIPLE-g++-posix

self=$(readlink -f "${BASH_SOURCE[0]}")
here=$(dirname "$self")
toolchain=$here/toolchain-mingw64.cmake
sources_lib=$here/../lib/debian-sources.sh
prefix_lib=$here/../lib/dependency-prefix.sh
cache=${VELTRA_DEPS_CACHE:-/var/cache/veltra}
jobs=$(nproc)

DEPS_NAME=deps.sh
# shellcheck source=../lib/dependency-prefix.sh
source "$prefix_lib"
# shellcheck source=../lib/debian-sources.sh
source "$sources_lib"
[ -f "$toolchain" ] || die "toolchain file $toolchain is missing"

# ---------------------------------------------------------------- host packages
"$here/../install-packages.sh" "${HOST_PACKAGES[@]}" || die "cannot install the host packages"

# ---------------------------------------------------------------- prefix key
host_versions() {
  dpkg-query -W -f='${Package} ${Version}\n' "${HOST_PACKAGES[@]}"
  "$CXX_WIN" --version | head -n 1
}
key=$( { printf '%s\n' "${PINS[@]}"; cat "$self" "$toolchain" "$sources_lib" "$prefix_lib"; host_versions; } | sha256sum | cut -c1-12)
deps_open "$cache" "mingw64-$key"


# ---------------------------------------------------------------- sources
debian_sources_setup "$cache"
apt_pins=()
for pin in "${PINS[@]}"; do
  [ "${pin%%=*}" = openal-soft ] || apt_pins+=("$pin")
done
debian_sources_fetch "${apt_pins[@]}"

# openal-soft 1.24.2: the archive has its original tarball but not its .dsc.
pin=$(printf '%s\n' "${PINS[@]}" | grep '^openal-soft=')
uri_line=$(apt-get "${APT[@]}" source --print-uris "$pin" | grep "^'.*\.orig\.tar\.[a-z0-9]*'" | head -n 1) \
  || die "no original tarball listed for $pin"
read -r al_uri al_file _ al_hash <<<"$uri_line"
al_uri=${al_uri//\'/}
[ "${al_hash%%:*}" = SHA256 ] || die "unexpected hash kind in '$uri_line'"
al_tar=$src_cache/$al_file
if ! printf '%s  %s\n' "${al_hash#SHA256:}" "$al_tar" | sha256sum --quiet -c - >/dev/null 2>&1; then
  rm -f "$al_tar"
  run fetch /usr/lib/apt/apt-helper -o APT::Sandbox::User=root download-file "$al_uri" "$al_tar" "$al_hash"
fi
printf '%s  %s\n' "${al_hash#SHA256:}" "$al_tar" | sha256sum --quiet -c - >>"$logs/fetch.log" 2>&1 \
  || die "checksum mismatch for $al_tar"

# ------------------------------------------------------------ unpack sources
declare -A SRC
version_of() { local p; for p in "${PINS[@]}"; do [ "${p%%=*}" = "$1" ] && { printf '%s' "${p#*=}"; return; }; done; }
unpack_pins=()
for pin in "${apt_pins[@]}"; do
  [ "${pin%%=*}" = mingw-w64 ] || unpack_pins+=("$pin")
done
debian_sources_unpack "$srcroot" "${unpack_pins[@]}"
mkdir -p "$srcroot/openal-soft"
run unpack tar -xf "$al_tar" -C "$srcroot/openal-soft" --strip-components=1
SRC[openal-soft]=$srcroot/openal-soft
mingw_ver=$(noepoch "$(version_of mingw-w64)")
mkdir -p "$srcroot/mingw-w64"
run unpack tar -xf "$src_cache/mingw-w64_${mingw_ver%-*}.orig.tar.bz2" -C "$srcroot/mingw-w64" \
  --strip-components=1 --wildcards '*/mingw-w64-libraries/winpthreads/COPYING'

# ---------------------------------------------------------------- build helpers
# The toolchain's static runtime flags, for the autotools (libtool) DLLs:
# LDFLAGS at the front, LIBS last on the link line.
RUNTIME_LDFLAGS="-static-libgcc -Wl,--exclude-libs=libgcc.a:libgcc_eh.a:libstdc++.a:libpthread.a:libwinpthread.a"
RUNTIME_LIBS="-Wl,-Bstatic"
export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig:$stage/share/pkgconfig PKG_CONFIG_PATH='' PKG_CONFIG_SYSROOT_DIR=

cmake_lib() {  # <name> <source dir> <cmake options...>
  local name=$1 src=$2 t0=$SECONDS; shift 2
  log "building $name"
  run "$name" cmake -G Ninja -S "$src" -B "$bld/$name" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVELTRA_WIN_PREFIX="$stage" \
    -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_BINDIR=bin -DCMAKE_INSTALL_INCLUDEDIR=include "$@"
  run "$name" cmake --build "$bld/$name" --parallel "$jobs"
  run "$name" cmake --install "$bld/$name"
  log "built $name in $((SECONDS - t0)) s"
}
autotools_lib() {  # <name> <configure options...>: a DLL, built out of tree
  local name=$1 t0=$SECONDS; shift
  log "building $name"
  mkdir -p "$bld/$name"
  ( cd "$bld/$name" &&
    run "$name" "${SRC[$name]}/configure" --host=$TRIPLE --prefix="$stage" \
      --enable-shared --disable-static \
      CC="$CC_WIN" CXX="$CXX_WIN" CFLAGS="-O2" LDFLAGS="$RUNTIME_LDFLAGS" LIBS="$RUNTIME_LIBS" "$@" &&
    run "$name" make -j"$jobs" &&
    run "$name" make install )
  log "built $name in $((SECONDS - t0)) s"
}

# ---------------------------------------------------------------- header-only
# The toolchain's INCLUDE ONLY mode hides /usr/include: copy them in.
log "copying GLM, stb and utf8cpp headers"
mkdir -p "$stage/include" "$stage/share/cmake"
cp -a /usr/include/glm "$stage/include/"
[ -d /usr/share/cmake/glm ] && cp -a /usr/share/cmake/glm "$stage/share/cmake/"   # computes its prefix relatively
cp -a /usr/include/stb "$stage/include/"
cp -a /usr/include/utf8cpp "$stage/include/"                                       # Assimp only
licence glm /usr/share/doc/libglm-dev/copyright
licence stb /usr/share/doc/libstb-dev/copyright
licence utf8cpp /usr/share/doc/libutfcpp-dev/copyright

# ---------------------------------------------------------------- zlib, minizip
# Static only: no DLL of zlib may creep in (see ZLIB_USE_STATIC_LIBS in the
# toolchain). The Debian repack has no win32/ folder; configure handles mingw.
log "building zlib"
( cd "${SRC[zlib]}" &&
  run zlib env CHOST=$TRIPLE CC="$CC_WIN" CFLAGS="-O2" ./configure --static --prefix="$stage" &&
  run zlib make -j"$jobs" libz.a &&
  run zlib make install )
licence zlib "${SRC[zlib]}/LICENSE" "${SRC[zlib]}/debian/copyright"

# minizip ships no usable build system here: compile the library files.
log "building minizip"
mz=${SRC[zlib]}/contrib/minizip
mkdir -p "$bld/minizip" "$stage/include/minizip"
for f in ioapi unzip zip mztools iowin32; do
  run minizip "$CC_WIN" -O2 -I"$stage/include" -c "$mz/$f.c" -o "$bld/minizip/$f.o"
done
run minizip $TRIPLE-ar rcs "$stage/lib/libminizip.a" "$bld/minizip"/*.o
cp "$mz"/{ioapi,unzip,zip,mztools,iowin32,crypt}.h "$stage/include/minizip/"
zlib_version=$(sed -n 's/^Version: *//p' "$stage/lib/pkgconfig/zlib.pc")
cat >"$stage/lib/pkgconfig/minizip.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: minizip
Description: zip and unzip library (zlib's contrib/minizip)
Version: $zlib_version
Requires: zlib
Libs: -L\${libdir} -lminizip
Cflags: -I\${includedir}/minizip
EOF
licence minizip "${SRC[zlib]}/LICENSE" "$mz/MiniZip64_info.txt"

# ---------------------------------------------------------------- static C/C++
cmake_lib glfw3 "${SRC[glfw3]}" -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
licence glfw "${SRC[glfw3]}/LICENSE.md" "${SRC[glfw3]}/debian/copyright"

cmake_lib glew "${SRC[glew]}/build/cmake" -DBUILD_UTILS=OFF
# glew.pc requires glu, which has no .pc on Windows.
sed -i '/^Requires:/d' "$stage/lib/pkgconfig/glew.pc"
licence glew "${SRC[glew]}/LICENSE.txt" "${SRC[glew]}/debian/copyright"

# Bullet: only the libraries the game links; a Debian patch breaks
# FindOpenGL when cross-compiling.
trim_bullet "${SRC[bullet]}"
cmake_lib bullet "${SRC[bullet]}" -DBUILD_BULLET3=OFF -DBUILD_PYBULLET=OFF -DBUILD_EXTRAS=OFF \
  -DBUILD_UNIT_TESTS=OFF -DBUILD_CPU_DEMOS=OFF -DBUILD_BULLET2_DEMOS=OFF -DBUILD_OPENGL3_DEMOS=OFF \
  -DBUILD_ENET=OFF -DBUILD_CLSOCKET=OFF -DUSE_GLUT=OFF -DUSE_GRAPHICAL_BENCHMARK=OFF \
  -DENABLE_VHACD=OFF -DINSTALL_LIBS=ON -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON
# Its config names the unbuilt libraries and an absolute root: name the three
# built (in link order) and find the root from the config's own place.
bcfg=$stage/lib/cmake/bullet/BulletConfig.cmake
sed -i -e 's|^set ( BULLET_LIBRARIES .*|set ( BULLET_LIBRARIES    "BulletDynamics;BulletCollision;LinearMath" )|' \
       -e 's|^set ( BULLET_ROOT_DIR .*|get_filename_component(BULLET_ROOT_DIR "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)|' "$bcfg"
sed -i 's|^Libs: .*|Libs: -L${libdir} -lBulletDynamics -lBulletCollision -lLinearMath|' "$stage/lib/pkgconfig/bullet.pc"
licence bullet "${SRC[bullet]}/LICENSE.txt" "${SRC[bullet]}/debian/copyright"

# Assimp: glTF import only. Undo Debian's switch to a system draco; minizip
# and zlib come from above, utf8cpp and stb from the copied headers.
# Its MinGW branch puts -static-libstdc++ on the exported target, which would
# undo the toolchain's static winpthread in every program linking it.
( cd "${SRC[assimp]}" && run assimp patch -R -p1 -i debian/patches/use-system-libdraco.patch )
sed -i 's|^\( *\)TARGET_LINK_LIBRARIES ( assimp -static-libgcc -static-libstdc++ -Wl,-Bstatic -lstdc++ -lwinpthread ).*|\1# (static runtime: see the toolchain file)|' \
  "${SRC[assimp]}/code/CMakeLists.txt"
! grep -q 'assimp -static-libgcc' "${SRC[assimp]}/code/CMakeLists.txt" \
  || die "assimp: could not remove its static runtime flags from code/CMakeLists.txt"
# It links pkg-config's bare names (minizip;z), which a consumer cannot find;
# the full paths are made relative to the package below.
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
  -DCMAKE_CXX_FLAGS="-I$stage/include/utf8cpp"
licence assimp "${SRC[assimp]}/LICENSE" "${SRC[assimp]}/debian/copyright"

# inih: no meson here, and two files. INI_HANDLER_LINENO stays unset (the
# upstream default); Debian's Linux build sets it for the C API only.
log "building inih"
ini=${SRC[libinih]}
mkdir -p "$bld/inih"
run inih "$CC_WIN" -O2 -c "$ini/ini.c" -o "$bld/inih/ini.o"
run inih "$CXX_WIN" -O2 -std=c++11 -I"$ini" -c "$ini/cpp/INIReader.cpp" -o "$bld/inih/INIReader.o"
run inih $TRIPLE-ar rcs "$stage/lib/libinih.a" "$bld/inih/ini.o"
run inih $TRIPLE-ar rcs "$stage/lib/libINIReader.a" "$bld/inih/INIReader.o"
cp "$ini/ini.h" "$ini/cpp/INIReader.h" "$stage/include/"
ini_version=$(noepoch "$(version_of libinih)"); ini_version=${ini_version%-*}
cat >"$stage/lib/pkgconfig/inih.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: inih
Description: simple .INI file parser
Version: $ini_version
Libs: -L\${libdir} -linih
Cflags: -I\${includedir}
EOF
# Requires (not .private): a static INIReader needs -linih in a plain link too.
cat >"$stage/lib/pkgconfig/INIReader.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: INIReader
Description: simple .INI file parser for C++
Version: $ini_version
Requires: inih
Libs: -L\${libdir} -lINIReader
Cflags: -I\${includedir}
EOF
licence inih "$ini/LICENSE.txt" "$ini/debian/copyright"

# GoogleTest: threads off, so GTEST_HAS_PTHREAD=0; Debian's patch puts that
# definition on the exported targets.
cmake_lib googletest "${SRC[googletest]}" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
licence googletest "${SRC[googletest]}/LICENSE" "${SRC[googletest]}/debian/copyright"

# ---------------------------------------------------------------- LGPL DLLs
# LGPL: shipped as DLLs beside veltra.exe.
autotools_lib mpg123 --disable-components --enable-libmpg123 --disable-modules
licence mpg123 "${SRC[mpg123]}/COPYING" "${SRC[mpg123]}/debian/copyright"

# Its export list names the decoder (left out) and lame_init_old (gone
# since 3.100): a DLL cannot export undefined symbols.
sed -i -e '/^lame_init_old$/d' -e '/^hip_/d' -e '/^lame_decode/d' "${SRC[lame]}/include/libmp3lame.sym"
autotools_lib lame --disable-frontend --disable-decoder --disable-gtktest
licence lame "${SRC[lame]}/COPYING" "${SRC[lame]}/LICENSE" "${SRC[lame]}/debian/copyright"

cmake_lib libsndfile "${SRC[libsndfile]}" -DBUILD_SHARED_LIBS=ON \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=ON -DENABLE_COMPATIBLE_LIBSNDFILE_NAME=ON \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF
grep -q 'ENABLE_MPEG.*ON\|SndFile_WITH_MPEG 1' "$stage/lib/cmake/SndFile/SndFileConfig.cmake" \
  || die "libsndfile was built without MPEG support (see $logs/libsndfile.log)"
licence libsndfile "${SRC[libsndfile]}/COPYING" "${SRC[libsndfile]}/debian/copyright"

cmake_lib openal-soft "${SRC[openal-soft]}" -DLIBTYPE=SHARED \
  -DALSOFT_EXAMPLES=OFF -DALSOFT_UTILS=OFF -DALSOFT_TESTS=OFF -DALSOFT_NO_CONFIG_UTIL=ON \
  -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF -DALSOFT_INSTALL_CONFIG=OFF \
  -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF
al=${SRC[openal-soft]}
licence openal-soft "$al/COPYING" "$al/BSD-3Clause" "$al/LICENSE-pffft"
cp "$al"/fmt-*/LICENSE "$stage/share/licenses/openal-soft/LICENSE-fmt"   # fmt is compiled in

# ---------------------------------------------------------------- runtime licences
# Every exe and DLL carries the MinGW-w64 runtime statically.
licence mingw-w64-runtime /usr/share/doc/gcc-mingw-w64-base/copyright \
  /usr/share/common-licenses/GPL-3 \
  "$srcroot/mingw-w64/mingw-w64-libraries/winpthreads/COPYING"
mv "$stage/share/licenses/mingw-w64-runtime/copyright" "$stage/share/licenses/mingw-w64-runtime/gcc-copyright"
mv "$stage/share/licenses/mingw-w64-runtime/COPYING" "$stage/share/licenses/mingw-w64-runtime/winpthreads-COPYING"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/share/licenses/mingw-w64-runtime/mingw-w64-copyright"
sed -n '/^GCC RUNTIME LIBRARY EXCEPTION/,/requirements of the license of GCC\./p' /usr/share/doc/gcc-mingw-w64-base/copyright \
  >"$stage/share/licenses/mingw-w64-runtime/gcc-runtime-library-exception"

# ---------------------------------------------------------------- tidy, check
rm -rf "$stage/share/man" "$stage/share/doc"
find "$stage" -name '*.la' -delete
# pkg-config files relative to their own place, so that the prefix can move.
for pc in "$stage"/lib/pkgconfig/*.pc "$stage"/share/pkgconfig/*.pc; do
  [ -f "$pc" ] || continue
  sed -i -e "s|^prefix=.*|prefix=\${pcfiledir}/../..|" -e "s|$stage|\${prefix}|g" "$pc"
done
# Exported CMake targets (assimp's libraries) likewise, through the
# _IMPORT_PREFIX that those files compute from their own place.
for f in $(grep -rlF "$stage" "$stage/lib/cmake" || true); do
  grep -q '_IMPORT_PREFIX' "$f" || die "$f names the build directory and has no _IMPORT_PREFIX"
  sed -i "s|$stage|\${_IMPORT_PREFIX}|g" "$f"
done
left=$(grep -rlI --exclude-dir=licenses -F "$stage" "$stage" || true)
[ -z "$left" ] || die "files still name the build directory: $left"

for dll in "$stage"/bin/*.dll; do
  if $TRIPLE-objdump -p "$dll" | grep -iE 'DLL Name: *(libstdc\+\+|libgcc_s|libwinpthread)'; then
    die "$dll imports a MinGW runtime DLL"
  fi
done
for f in lib/libglfw3.a lib/libglew32.a lib/libassimp.a lib/libLinearMath.a lib/libBulletCollision.a \
         lib/libBulletDynamics.a lib/libz.a lib/libminizip.a lib/libinih.a lib/libINIReader.a \
         lib/libgtest.a lib/libgtest_main.a lib/libgmock.a lib/libgmock_main.a \
         bin/OpenAL32.dll bin/libsndfile-1.dll bin/libmpg123-0.dll bin/libmp3lame-0.dll \
         lib/cmake/glfw3/glfw3Config.cmake lib/cmake/glew/glew-config.cmake lib/cmake/bullet/BulletConfig.cmake \
         lib/cmake/assimp-5.2/assimpConfig.cmake lib/cmake/OpenAL/OpenALConfig.cmake \
         lib/cmake/SndFile/SndFileConfig.cmake lib/cmake/GTest/GTestConfig.cmake \
         lib/pkgconfig/INIReader.pc include/glm/glm.hpp include/stb/stb_image.h; do
  [ -e "$stage/$f" ] || die "expected $f is missing from the prefix"
done

# ---------------------------------------------------------------- versions, stamp
{
  printf '# VELTRA Windows dependency prefix %s\n# library  Debian source version\n' "$key"
  for pin in "${PINS[@]}"; do
    [ "${pin%%=*}" = mingw-w64 ] || printf '%s %s\n' "${pin%%=*}" "${pin#*=}"
  done
  printf 'minizip %s (from zlib)\n' "$(version_of zlib)"
  printf '%s %s (host package, headers)\n' \
    glm "$(dpkg-query -W -f='${Version}' libglm-dev)" \
    stb "$(dpkg-query -W -f='${Version}' libstb-dev)" \
    utf8cpp "$(dpkg-query -W -f='${Version}' libutfcpp-dev)"
  printf '# compiler: %s (g++-mingw-w64-x86-64-posix %s, mingw-w64-x86-64-dev %s)\n' \
    "$("$CXX_WIN" --version | head -n 1)" \
    "$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)" \
    "$(dpkg-query -W -f='${Version}' mingw-w64-x86-64-dev)"
  printf '# winpthreads licence from source mingw-w64 %s\n' "$(version_of mingw-w64)"
} >"$stage/versions.txt"

deps_close
