#!/usr/bin/env bash
# The unzipped game, started from its bin folder under a folder name with
# spaces and non-ASCII letters, prints the banner and the three progress
# lines in order, finds every asset, shows its window, and Escape ends it
# with status 0.
source "$(dirname "$0")/lib.sh"
unpack_game

start_game
wait_for_window VELTRA 120
send_key "$WINDOW_ID" Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Escape"

unix_stdout | grep -v '^OpenGL Error: ' >"$WORK/progress"
expected=$':::::: WELCOME TO VELTRA ::::::\nWindowManager was initialized.\nGLEW was initialized.\nFramework was initialized.'
[ "$(head -n 4 "$WORK/progress")" = "$expected" ] || fail "start-up lines differ"
grep -q '^ERROR' "$WORK/progress" && fail "an error line on a normal start"
grep -q 'not found\|Could not find' "$WORK/stdout" "$WORK/stderr" && fail "an asset was not found"
echo "PASS"
