#!/usr/bin/env bash
# Without a display the window cannot open: the GLFW error line, the line of
# the window manager on standard error, then "ERROR: Failed to init
# WindowManager"; the game waits for one character and ends with status 1.
source "$(dirname "$0")/lib.sh"

mkfifo "$WORK/stdin"
env -u DISPLAY -u WAYLAND_DISPLAY "$VELTRA" <"$WORK/stdin" >"$WORK/stdout" 2>"$WORK/stderr" &
GAME_PID=$!
exec 9>"$WORK/stdin"

# It waits for a character before it ends.
waited=0
until grep -q '^ERROR: ' "$WORK/stdout"; do
    [ "$waited" -lt "$(scaled 300)" ] || fail "no error line within $(scaled 30)s"
    kill -0 "$GAME_PID" 2>/dev/null || fail "ended before printing its error line"
    sleep 0.1
    waited=$((waited + 1))
done
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "did not wait for a character"
echo >&9
wait_for_exit
[ "$GAME_STATUS" -eq 1 ] || fail "status $GAME_STATUS instead of 1"

[ "$(stdout_line 1)" = ":::::: WELCOME TO VELTRA ::::::" ] || fail "banner"
grep -q '^GLFW error [0-9]*: ' "$WORK/stdout" || fail "no GLFW error line"
[ "$(tail -n 1 "$WORK/stdout")" = "ERROR: Failed to init WindowManager" ] || fail "last line"
[ "$(grep -n '^GLFW error' "$WORK/stdout" | head -n 1 | cut -d: -f1)" -lt \
  "$(grep -n '^ERROR: Failed to init WindowManager$' "$WORK/stdout" | cut -d: -f1)" ] ||
    fail "GLFW error line after the ERROR line"
grep -q '^Failed to initialize GLFW$' "$WORK/stderr" || fail "no line on standard error"
grep -q 'was initialized' "$WORK/stdout" && fail "claimed progress after the failure"

# With an empty standard input it ends at once.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$VELTRA" </dev/null >/dev/null 2>&1
status=$?
[ "$status" -eq 1 ] || fail "status $status with an empty standard input"
echo "PASS"
