#!/usr/bin/env bash
# Settings files that exist nowhere give one error line each, camera first,
# before the window opens, and the game still starts on its defaults.
source "$(dirname "$0")/lib.sh"

start_game --init_camera assets/settings/no_such_camera.ini \
           --init_renderer assets/settings/no_such_renderer.ini
wait_for_window VELTRA
kill -TERM "$GAME_PID"
wait_for_exit
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS"

[ "$(stdout_line 1)" = ":::::: WELCOME TO VELTRA ::::::" ] || fail "banner"
[ "$(stdout_line 2)" = "ERROR: Failed to load 'assets/settings/no_such_camera.ini'. Using default values instead." ] ||
    fail "camera settings error line"
[ "$(stdout_line 3)" = "ERROR: Failed to load 'assets/settings/no_such_renderer.ini'. Using default values instead." ] ||
    fail "renderer settings error line"
[ "$(stdout_line 4)" = "WindowManager was initialized." ] || fail "the window did not follow"
grep -q '^Framework was initialized\.$' "$WORK/stdout" || fail "start-up did not complete"
echo "PASS"
