#!/usr/bin/env bash
# Cross-builds VELTRA for 64-bit Windows and packages it:
#   dist/veltra-win64.zip        one folder VELTRA/ to unzip anywhere
#   dist/veltra-win64-setup.exe  the same tree as an installer (NSIS)
# On a fresh Debian 12 machine as root it first installs what it needs and
# builds the libraries (tools/windows/deps.sh, cached outside the checkout).
# Usage: tools/windows/build.sh [build-dir]   (default build-win)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build-win}
dist=$root/dist

note() { echo "build.sh: $*" >&2; }

tools/install-packages.sh nsis zip fonts-dejavu-core
prefix=$(tools/windows/deps.sh)
[ -f "$prefix/versions.txt" ] || { note "no dependency prefix at '$prefix'"; exit 1; }

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/toolchain-mingw64.cmake" \
  -DVELTRA_WIN_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DVELTRA_WERROR=ON \
  -DVELTRA_BENCH=OFF >&2
cmake --build "$build" --target veltra -j"$(nproc)" >&2

version=$(sed -n 's/^project(veltra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { note "no version in CMakeLists.txt"; exit 1; }

# The tree a player gets, staged once for both artefacts.
stage=$(realpath -m "$build")/stage
game=$stage/VELTRA
rm -rf "$stage"
mkdir -p "$game/bin" "$game/licenses"
cp "$build/veltra.exe" "$game/bin/"
x86_64-w64-mingw32-strip "$game/bin/veltra.exe"

# Every DLL that veltra.exe needs from the prefix, followed through the DLLs'
# own imports; the rest are Windows' own.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
pending=("$game/bin/veltra.exe")
while [ ${#pending[@]} -gt 0 ]; do
  current=${pending[0]}
  pending=("${pending[@]:1}")
  while read -r dll; do
    found=$(find "$prefix/bin" -maxdepth 1 -iname "$dll" -print -quit)
    if [ -n "$found" ] && [ ! -e "$game/bin/$(basename "$found")" ]; then
      cp "$found" "$game/bin/"
      x86_64-w64-mingw32-strip --strip-unneeded "$game/bin/$(basename "$found")"
      pending+=("$game/bin/$(basename "$found")")
    fi
  done < <(imports "$current")
done

cp -r assets "$game/assets"
cp -r "$prefix/share/licenses/." "$game/licenses/"
# GoogleTest is in the prefix for the tests only.
rm -rf "$game/licenses/googletest"
if [ -f /usr/share/doc/fonts-dejavu-core/copyright ]; then
  # The font sheet and the start screen are drawn with the DejaVu fonts.
  mkdir -p "$game/licenses/dejavu-fonts"
  cp /usr/share/doc/fonts-dejavu-core/copyright "$game/licenses/dejavu-fonts/copyright"
fi
# Notepad and every other Windows editor expect CRLF.
sed 's/$/\r/' tools/windows/README.txt > "$game/README.txt"

mkdir -p "$dist"
rm -f "$dist/veltra-win64.zip" "$dist/veltra-win64-setup.exe"
(cd "$stage" && zip -q -r -X -9 "$dist/veltra-win64.zip" VELTRA)

# The installer's file lists: each file copied into its folder, and the same
# removed in reverse order with the folders after their contents, so the
# uninstaller deletes nothing it did not install.
lists=$(realpath -m "$build")/installer
mkdir -p "$lists"
windows_name() { local name=${1#./}; echo "${name//\//\\}"; }
(cd "$game" && find . -type f | LC_ALL=C sort) | {
  folder=""
  while read -r file; do
    dir=$(windows_name "$(dirname "$file")")
    if [ "$dir" != "$folder" ]; then
      folder=$dir
      if [ "$dir" = . ]; then echo 'SetOutPath "$INSTDIR"'; else echo "SetOutPath \"\$INSTDIR\\$dir\""; fi
    fi
    echo "File \"$game/${file#./}\""
  done
} > "$lists/install-files.nsh"
(cd "$game" && find . -mindepth 1 | LC_ALL=C sort -r) | while read -r entry; do
  if [ -d "$game/$entry" ]; then
    echo "RMDir \"\$INSTDIR\\$(windows_name "$entry")\""
  else
    echo "Delete \"\$INSTDIR\\$(windows_name "$entry")\""
  fi
done > "$lists/uninstall-files.nsh"
size_kb=$(du -sk "$game" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$game" -DFILES="$lists" -DSIZE_KB="$size_kb" \
  -DOUTFILE="$dist/veltra-win64-setup.exe" tools/windows/installer.nsi >&2

note "made $(du -h "$dist/veltra-win64.zip" | cut -f1) dist/veltra-win64.zip and" \
  "$(du -h "$dist/veltra-win64-setup.exe" | cut -f1) dist/veltra-win64-setup.exe (VELTRA $version)"
