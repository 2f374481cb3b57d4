#!/usr/bin/env bash
# cmake --install into a prefix whose path has spaces: the installed
# launcher, started from another working directory with every kind of
# argument, runs the game with all its assets, and a headless frame with a
# relative --filename, or none, lands where the player started, or in the
# pictures folder when no one may write there.
source "$(dirname "$0")/lib.sh"

build=$(dirname "$(realpath "$VELTRA")")
prefix="$WORK/a prefix/with spaces"
cmake --install "$build" --prefix "$prefix" >"$WORK/install.log" 2>&1 || fail "cmake --install: $(cat "$WORK/install.log")"
for installed in bin/veltra lib/veltra/bin/veltra share/veltra/assets/shaders/texture.vert \
    share/applications/veltra.desktop share/icons/hicolor/scalable/apps/veltra.svg \
    share/icons/hicolor/48x48/apps/veltra.png share/metainfo/org.veltra.Veltra.metainfo.xml \
    share/man/man6/veltra.6.gz share/doc/veltra/copyright; do
    [ -e "$prefix/$installed" ] || fail "not installed: $installed"
done
[ ! -e "$prefix/share/veltra/assets/icons" ] || fail "the desktop icons were installed as game assets"
touch "$WORK/installed"

[ "$("$prefix/bin/veltra" --version)" = "VELTRA $(sed -n 's/^project(veltra VERSION \([0-9.]*\).*/\1/p' "$SOURCE_DIR/CMakeLists.txt")" ] ||
    fail "the launcher's --version: $("$prefix/bin/veltra" --version)"

mkdir -p "$WORK/player home"
cd "$WORK/player home" || fail "no start folder"
VELTRA="$prefix/bin/veltra"
start_game --run_headless --filename "first frame"
wait_for_frame_file "first frame.ppm"
kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"
expected=$':::::: WELCOME TO VELTRA ::::::\nWindowManager was initialized.\nGLEW was initialized.\nFramework was initialized.'
[ "$(grep -v '^OpenGL Error: ' "$WORK/stdout" | head -n 4)" = "$expected" ] || fail "start-up lines differ"
# Every asset was found: the only complaint allowed is the missing sound card.
complaints=$(grep -vx 'Failed to create irrKlang sound engine!' "$WORK/stderr")
[ -z "$complaints" ] || fail "the installed game missed files: $complaints"
grep -q '^ERROR' "$WORK/stdout" && fail "an error line from the installed game"
# Without --filename: "screenshot.ppm" where the player started; from a
# folder even root cannot write to, in the pictures folder.
for start in "$WORK/player home" /proc; do
    cd "$start" || fail "no folder $start"
    start_game --run_headless
    expected="$WORK/player home/screenshot.ppm"
    [ "$start" = /proc ] && expected="$XDG_PICTURES_DIR/screenshot.ppm"
    wait_for_frame_file "$expected"
    kill -TERM "$GAME_PID"
    wait_for_exit
    [ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS, started from $start"
    ! grep -q '^Unable' "$WORK/stdout" || fail "from $start: $(grep '^Unable' "$WORK/stdout")"
done
[ -z "$(find "$prefix" -newer "$WORK/installed" \( -name '*.ppm' -o -name '*.png' \) | head -n 1)" ] ||
    fail "the game wrote into its install tree"
echo "PASS"
