#!/usr/bin/env bash
# A normal start prints the banner and the three progress lines in order,
# reads both shipped settings files without complaint, shows the window
# with the playing title, and a SIGTERM ends it with status 0. --version
# prints one line and ends at once, without a window. The game runs with its
# heap in large pages (it restarts itself with glibc's setting first).
source "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^project(veltra VERSION \([0-9.]*\).*/\1/p' "$SOURCE_DIR/CMakeLists.txt")
output=$(DISPLAY= "$VELTRA" --version 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "--version ended with status $status"
[ "$output" = "VELTRA $version" ] || fail "--version printed '$output', expected 'VELTRA $version'"

start_game
wait_for_window VELTRA
tr '\0' '\n' <"/proc/$GAME_PID/environ" | grep -qx 'GLIBC_TUNABLES=glibc.malloc.hugetlb=1' ||
    fail "the game runs without large pages"
kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after SIGTERM"

grep -v '^OpenGL Error: ' "$WORK/stdout" >"$WORK/progress"
expected=$':::::: WELCOME TO VELTRA ::::::\nWindowManager was initialized.\nGLEW was initialized.\nFramework was initialized.'
[ "$(head -n 4 "$WORK/progress")" = "$expected" ] || fail "start-up lines differ"
grep -q '^ERROR' "$WORK/stdout" && fail "an error line on a normal start"
echo "PASS"
