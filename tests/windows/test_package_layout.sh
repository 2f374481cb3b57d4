#!/usr/bin/env bash
# The zip holds one folder VELTRA/ with the game, the DLLs it imports beside
# it, the assets, a licence for every bundled library and a README; the game
# imports nothing else but Windows' own DLLs, and none of the MinGW runtime.
source "$(dirname "$0")/lib.sh"
unpack_game

top=$(unzip -Z1 "$ZIP" | cut -d/ -f1 | sort -u)
[ "$top" = VELTRA ] || fail "the zip's top level is '$top', not one folder VELTRA"
for entry in bin/veltra.exe README.txt assets/shaders/texture.vert assets/settings/camera_front.ini \
             assets/sounds/ancient-wind.mp3 assets/CREDITS; do
    [ -f "$GAME_DIR/$entry" ] || fail "VELTRA/$entry is missing"
done
cmp -s "$GAME_DIR/assets/models/radiva_textured_mesh.glb" "$SOURCE_DIR/assets/models/radiva_textured_mesh.glb" ||
    fail "the packaged player model differs from the source tree's"
grep -q $'\r$' "$GAME_DIR/README.txt" || fail "README.txt does not have Windows line ends"
grep -q 'Escape' "$GAME_DIR/README.txt" || fail "README.txt does not list the keys"

# Which DLLs each shipped binary imports, and that each is shipped or Windows' own.
windows_dlls='^(kernel32|user32|gdi32|shell32|advapi32|ole32|oleaut32|opengl32|msvcrt|winmm|shlwapi|ws2_32|imm32|version|setupapi|cfgmgr32|avrt|comdlg32|dinput8|xinput1_4|hid|api-ms-win-[a-z0-9-]+)\.dll$'
for binary in "$GAME_DIR"/bin/*.exe "$GAME_DIR"/bin/*.dll; do
    x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' >"$WORK/imports"
    while read -r dll; do
        lower=${dll,,}
        if [[ "$lower" =~ ^(libstdc\+\+|libgcc_s|libwinpthread) ]]; then
            fail "$(basename "$binary") imports the MinGW runtime $dll"
        fi
        [[ "$lower" =~ $windows_dlls ]] && continue
        [ -n "$(find "$GAME_DIR/bin" -maxdepth 1 -iname "$dll")" ] ||
            fail "$(basename "$binary") imports $dll, which is neither shipped nor Windows' own"
    done <"$WORK/imports"
done
# The LGPL libraries ship as DLLs, so a player can replace them.
for dll in OpenAL32.dll libsndfile-1.dll; do
    [ -f "$GAME_DIR/bin/$dll" ] || fail "bin/$dll is missing"
done

# A licence text for each library, none of them empty.
for library in glfw glew bullet assimp openal-soft libsndfile mpg123 lame inih zlib mingw-w64; do
    found=$(find "$GAME_DIR/licenses" -mindepth 1 -maxdepth 1 -iname "*$library*" | head -n 1)
    [ -n "$found" ] || fail "no licence for $library under VELTRA/licenses"
    [ -n "$(find "$found" -type f -size +100c)" ] || fail "the licence of $library is empty"
done
echo "PASS"
