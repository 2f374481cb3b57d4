#!/usr/bin/env bash
# The driver's debug output as a check: a session that goes through every
# state the keyboard can reach (start screen, countdown, flight, pause, a
# dive into the ground, restart, a second countdown) and toggles wireframe
# (F1), the HUD (H), fullscreen (Enter), the camera (1) and a screenshot
# (F12) in each, must not draw one debug message of type "Error" or of
# severity "High". Winning needs steering through the hills to the goal and
# the time-out needs two minutes of flight, so neither is part of it.
source "$(dirname "$0")/lib.sh"

make_private_tree

mkfifo "$WORK/stdin"
(cd "$TREE/build" && exec ./veltra --filename diag <"$WORK/stdin" >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!
exec 9>"$WORK/stdin"

key() {
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the session"
    send_key "$WINDOW_ID" "$1"
    sleep 0.3
}

# Wireframe, HUD, camera and fullscreen on and off again, and a screenshot.
toggles() {
    key F1
    key F1
    key h
    key h
    key 1
    key 1
    key Return
    sleep 0.5
    key Return
    key F12
}

wait_for_window VELTRA 120
echo "start screen"
toggles
key space
echo "countdown"
toggles
# The countdown lasts three seconds of the game's clock.
sleep 3.5
echo "flight"
toggles
key space
echo "pause"
toggles
key space
echo "dive"
# On a slow machine the presses above may have met the countdown rather than
# the flight and left the game paused: every 20 s without a crash, Space
# toggles the pause once more.
waited=0
until grep -q '^Player collided with' "$WORK/stdout"; do
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the dive"
    [ "$waited" -lt "$(scaled 1800)" ] || fail "no crash into the ground within $(scaled 180)s"
    if [ $((waited % 200)) -eq 199 ]; then
        xdotool keyup --window "$WINDOW_ID" s
        send_key "$WINDOW_ID" space
    fi
    xdotool windowfocus "$WINDOW_ID" 2>/dev/null
    xdotool keydown --window "$WINDOW_ID" s
    sleep 0.1
    waited=$((waited + 1))
done
xdotool keyup --window "$WINDOW_ID" s
echo "lost"
toggles
key space
echo "restart"
builds=0
waited=0
until [ "$builds" -ge 2 ]; do
    builds=$(grep -c '^Water vertices' "$WORK/stdout")
    [ "$waited" -lt "$(scaled 600)" ] || fail "no second level build within $(scaled 60)s"
    sleep 0.1
    waited=$((waited + 1))
done
wait_for_window VELTRA 120
toggles
key space
echo "second countdown"
toggles
key Escape
wait_for_exit 60
[ "$GAME_STATUS" -eq 0 ] || fail "status $GAME_STATUS after Escape"

ls "$XDG_PICTURES_DIR"/veltra-*.png >/dev/null 2>&1 || fail "F12 saved no screenshot"
if grep -q '^OpenGL Error: .*Type = Error' "$WORK/stdout"; then
    fail "driver error messages: $(grep '^OpenGL Error: .*Type = Error' "$WORK/stdout" | sort | uniq -c)"
fi
if grep -q '^OpenGL Error: .*Severity = High' "$WORK/stdout"; then
    fail "high-severity driver messages: $(grep '^OpenGL Error: .*Severity = High' "$WORK/stdout" | sort | uniq -c)"
fi
echo "driver messages of other kinds: $(grep -c '^OpenGL Error: ' "$WORK/stdout")"
echo "PASS"
